#pragma once
// An IPP response (RFC 8010) read into the attributes the printer classes
// see (PrintServer.h). libcups carries the conversation; its own reader
// keeps every name and text of a response in a process-wide string pool,
// and finding each one there on the way in and again on the way out was a
// third of the provider's time for 50 printers and 500 jobs.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cimv2/sources/PrintServer.h"

namespace cimv2 {

// The groups of a response (RFC 8010, delimiter tags).
inline constexpr uint8_t kIppOperationGroup = 0x01, kIppJobGroup = 0x02, kIppPrinterGroup = 0x04;

struct IppResponse {
    int status = 0;                      // status-code
    std::string message;                 // status-message; empty when there is none
    std::optional<int64_t> limit;        // "limit": the server gave no more objects than this
    std::vector<IppAttributes> objects;  // the objects of the group asked for, in order
};

// What one response may cost: its bytes and what each value takes once
// read. A server that sends attributes without end is stopped here.
inline constexpr size_t kIppAnswerLimit = 64u << 20;

// Reads one response, asking `read` for more bytes as it needs them (it
// returns how many it gave, 0 at the end, -1 on failure). Nothing, with
// the reason in `error`, for a response that ends early, is malformed or
// costs more than `limit`. "no-value" and "unknown" values leave an
// attribute absent; dates, octet strings, collections and other syntaxes
// the classes do not read are values of kind Other.
std::optional<IppResponse> ReadIppResponse(const std::function<ssize_t(char*, size_t)>& read, uint8_t group,
                                           std::string& error, size_t limit = kIppAnswerLimit);

}  // namespace cimv2
