#pragma once
// The agent protocol: length-prefixed frames over a byte stream (the ssh
// channel's stdin and stdout). Both ends live here.
//
//   frame   = u32 length (of type and payload, big-endian), u8 type, payload
//   string  = u32 length, bytes
//   value   = u8 tag, then: text string | i64 | u64 | f64 bits | u8 bool |
//             u32 count and that many scalar values (an array)
//
// A query answer is Header (class and the columns sent), Record*, Note*,
// End (count). A record names each non-null property by column index with
// a typed value and is checked against the receiving side's class schema.
// The agent sends the columns of the select list and the keys, and cuts a
// value that would not fit a frame (a text ends in "…"). A note (since
// version 2: u8 cause, string sources) says why values of the queried class
// are null or missing; version 3 adds the causes "did not answer" and "cut
// at a limit". An Error frame (code, message) may replace any answer or cut
// one short.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/provider/ClassRegistry.h"
#include "cimv2/provider/Provider.h"

namespace remote {

constexpr uint32_t kMagic = 0x53514147;  // "SQAG"
constexpr uint16_t kProtocolVersion = 3;
// Version 1 lacks notes, version 2 the newer causes of notes; an agent
// still answers such a client in its version, and a newer client in its
// own (an agent of version 2 or older refuses a newer client).
constexpr uint16_t kOldestProtocolVersion = 1;
// The note causes a peer of a version knows.
uint8_t LastNoteCause(uint16_t peerVersion);
inline bool SpeaksProtocol(uint16_t version) {
    return version >= kOldestProtocolVersion && version <= kProtocolVersion;
}
// What a note from the far side may hold: it is text from another machine.
constexpr size_t kMaxNotesPerAnswer = 8;
constexpr size_t kMaxNoteSourcesBytes = 512;

// A malformed, oversized or cut-off answer: the stream can no longer be trusted.
constexpr uint32_t kTransportFailure = 0x80041015;

enum class FrameType : uint8_t {
    Hello = 1,
    Query = 2,
    Method = 3,
    Header = 4,
    Record = 5,
    End = 6,
    Error = 7,
    OutParams = 8,
    Note = 9,
};

struct Limits {
    size_t maxFrameBytes = 4u << 20;
    // The bytes of one answer as they arrive.
    size_t maxAnswerBytes = 64u << 20;
    // What one answer takes once decoded: each record is a whole instance
    // of its class, however few of its values were sent.
    size_t maxAnswerMemory = 1u << 30;
};

// The mark at the end of a text the agent cut to fit a frame.
constexpr std::string_view kCutMark = "\u2026";

struct Frame {
    FrameType type = FrameType::Error;
    std::string payload;
};

// Which class schema a class name stands for on this side; null when unknown.
using SchemaLookup = std::function<const cimv2::ClassSchema*(std::string_view className)>;
const cimv2::ClassSchema* RegistrySchema(std::string_view className);

// ---- writing

class ByteWriter {
public:
    void U8(uint8_t v) { FBytes.push_back(static_cast<char>(v)); }
    void U16(uint16_t v);
    void U32(uint32_t v);
    void U64(uint64_t v);
    void String(std::string_view s);
    void Value(const cimv2::Value& v);
    std::string& Bytes() { return FBytes; }

private:
    std::string FBytes;
};

// Appends one whole frame (length, type, payload) to out.
void AppendFrame(std::string& out, FrameType type, std::string_view payload);

// The version is the one this end will speak: an agent answers a client
// of an older version in that version.
std::string HelloPayload(std::string_view software, uint16_t version = kProtocolVersion);
std::string QueryPayload(std::string_view wql);
std::string MethodPayload(const cimv2::Instance& keys, std::string_view method, const cimv2::ParamList& in);
std::string HeaderPayload(const cimv2::ClassSchema& schema);
std::string RecordPayload(const cimv2::Instance& instance);
// The same for the given property indexes alone, in that order.
std::string HeaderPayload(const cimv2::ClassSchema& schema, const std::vector<int>& columns);
std::string RecordPayload(const cimv2::Instance& instance, const std::vector<int>& columns);
// What an answer to this result sends: the selected properties and the
// keys (every property when the result names no selection).
std::vector<int> AnswerColumns(const cimv2::QueryResult& result);
// Cuts the largest values of an instance until its record over these
// columns fits a frame of maxFrameBytes: a text keeps its start and ends in
// kCutMark, an array keeps its first items, a value with no room left is
// null. Returns the names of the properties cut; none when it fitted.
std::vector<std::string> FitRecord(cimv2::Instance& instance, const std::vector<int>& columns, size_t maxFrameBytes);
std::string EndPayload(uint32_t count);
std::string ErrorPayload(uint32_t code, std::string_view message);
std::string OutParamsPayload(const cimv2::ParamList& out);
std::string NotePayload(const cimv2::SourceNote& note);

// Header, every record, the notes (for a peer of version 2 on) and End for
// a query result.
void AppendAnswer(std::string& out, const cimv2::QueryResult& result, uint16_t peerVersion = kProtocolVersion);

// ---- reading

// Reads a payload; every read is checked against what is left and throws
// WbemError(kTransportFailure) when it runs past the end.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : FBytes(bytes) {}
    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    uint64_t U64();
    std::string String();
    cimv2::Value Value();
    bool AtEnd() const { return FPos == FBytes.size(); }
    // Throws unless the whole payload was read.
    void Finish(const char* what) const;

private:
    std::string_view Take(size_t n);
    cimv2::Value Scalar(uint8_t tag);
    std::string_view FBytes;
    size_t FPos = 0;
    size_t FValues = 0;  // decoded so far, against the per-frame limit
};

// Splits a byte stream into frames. Bytes are fed as they arrive; a length
// over the cap is refused as soon as its four bytes are in, so a hostile
// peer cannot make the reader hold more than one capped frame.
class FrameParser {
public:
    explicit FrameParser(size_t maxFrameBytes) : FMaxFrame(maxFrameBytes) {}
    void Feed(const char* data, size_t size);
    // The next complete frame, or nothing until more bytes arrive. Throws
    // WbemError(kTransportFailure) for an empty or oversized frame.
    std::optional<Frame> Next();
    size_t Buffered() const { return FBuffer.size() - FStart; }

private:
    size_t FMaxFrame;
    std::string FBuffer;
    size_t FStart = 0;
};

// Where the decoder gets its frames: a live channel or bytes in memory.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // The next frame; throws WbemError when the stream ends or fails.
    virtual Frame NextFrame() = 0;
};

class MemoryFrameSource : public FrameSource {
public:
    MemoryFrameSource(std::string_view bytes, size_t maxFrameBytes);
    Frame NextFrame() override;

private:
    FrameParser FParser;
};

struct Hello {
    uint16_t version = 0;
    std::string software;
};
Hello DecodeHello(const Frame& frame);

// Throws WbemError with the peer's code and message.
[[noreturn]] void ThrowErrorFrame(const Frame& frame);

// Reads one query answer (header, records, notes, end marker) for the
// expected class. Records are checked against its schema; the total is
// capped. The notes, of the expected class, go to notes when given, their
// text escaped and cut to size.
std::vector<cimv2::Instance> ReadQueryAnswer(FrameSource& source, const cimv2::ClassSchema& expected,
                                             const Limits& limits, std::vector<cimv2::SourceNote>* notes = nullptr);
// The same, once the header frame is in hand.
std::vector<cimv2::Instance> ReadAnswerBody(FrameSource& source, const Frame& header,
                                            const cimv2::ClassSchema& expected, const Limits& limits,
                                            std::vector<cimv2::SourceNote>* notes = nullptr);
// Reads the out parameters of a method call, checked against the method.
cimv2::ParamList ReadMethodAnswer(FrameSource& source, const cimv2::MethodDef& method);

// The far side's requests, decoded against this side's schemas.
struct MethodRequest {
    std::string className;
    std::vector<std::pair<std::string, cimv2::Value>> keys;
    std::string method;
    cimv2::ParamList in;
};
std::string DecodeQuery(const Frame& frame);
MethodRequest DecodeMethod(const Frame& frame);

// The whole client-side decoder over bytes, for the fuzzer: a hello, then
// one answer for the class named by the first header. Throws WbemError.
size_t DecodeAnswerStream(std::span<const uint8_t> bytes, const SchemaLookup& lookup, const Limits& limits);

}  // namespace remote
