// libFuzzer target for the IPP response reader, fed arbitrary bytes. The
// first byte picks the group asked for and how many bytes each read gives:
// the same response read a few bytes at a time must read as it does whole,
// and under a small limit as it does whole or not at all.
#include <sys/types.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cimv2/sources/IppMessage.h"

using namespace cimv2;

namespace {

std::optional<IppResponse> Read(const uint8_t* data, size_t size, size_t piece, uint8_t group, std::string& error,
                                size_t limit = kIppAnswerLimit) {
    size_t at = 0;
    return ReadIppResponse(
        [&](char* buffer, size_t room) -> ssize_t {
            const size_t n = std::min({piece, room, size - at});
            std::memcpy(buffer, data + at, n);
            at += n;
            return static_cast<ssize_t>(n);
        },
        group, error, limit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t group = data[0] & 1 ? kIppJobGroup : kIppPrinterGroup;
    const size_t piece = 1 + (data[0] >> 1);
    std::string wholeError, piecesError;
    auto whole = Read(data + 1, size - 1, size, group, wholeError);
    auto pieces = Read(data + 1, size - 1, piece, group, piecesError);
    if (!whole && wholeError.empty()) std::abort();
    if (whole.has_value() != pieces.has_value()) std::abort();
    if (whole && (whole->status != pieces->status || whole->message != pieces->message ||
                  whole->limit != pieces->limit || whole->objects.size() != pieces->objects.size()))
        std::abort();
    // Under a limit of about the input's own size the reader either gives
    // what it gives without one or stops at the limit; it never reads on.
    std::string cappedError;
    auto capped = Read(data + 1, size - 1, piece, group, cappedError, size * 4);
    if (capped && !whole) std::abort();
    if (capped && (capped->status != whole->status || capped->objects.size() != whole->objects.size())) std::abort();
    if (!capped && whole && cappedError.find("over the limit") == std::string::npos) std::abort();
    return 0;
}
