#include "remote/Protocol.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "cimv2/core/SafeText.h"
#include "cimv2/core/WbemError.h"

namespace remote {

namespace {

enum class Tag : uint8_t { Null = 0, Text = 1, Int = 2, UInt = 3, Real = 4, Bool = 5, Array = 6 };

// Each decoded value costs far more memory than its smallest encoding, so a
// frame may hold only so many of them.
constexpr size_t kMaxValuesPerFrame = 1u << 16;

[[noreturn]] void Malformed(const std::string& what) {
    throw cimv2::WbemError(kTransportFailure, "Malformed protocol data: " + what);
}

const char* FrameName(FrameType type) {
    switch (type) {
        case FrameType::Hello:
            return "hello";
        case FrameType::Query:
            return "query";
        case FrameType::Method:
            return "method call";
        case FrameType::Header:
            return "header";
        case FrameType::Record:
            return "record";
        case FrameType::End:
            return "end marker";
        case FrameType::Error:
            return "error";
        case FrameType::OutParams:
            return "out parameters";
        case FrameType::Note:
            return "note";
    }
    return "unknown";
}

void Expect(const Frame& frame, FrameType type) {
    if (frame.type == FrameType::Error) ThrowErrorFrame(frame);
    if (frame.type != type)
        Malformed(std::string("expected a ") + FrameName(type) + " frame, got a " + FrameName(frame.type) + " frame");
}

void WriteNamedValues(ByteWriter& w, const std::vector<std::pair<std::string, cimv2::Value>>& values) {
    w.U16(static_cast<uint16_t>(values.size()));
    for (const auto& [name, value] : values) {
        w.String(name);
        w.Value(value);
    }
}

std::vector<std::pair<std::string, cimv2::Value>> ReadNamedValues(ByteReader& r) {
    std::vector<std::pair<std::string, cimv2::Value>> values;
    uint16_t count = r.U16();
    for (uint16_t n = 0; n < count; ++n) {
        std::string name = r.String();
        values.emplace_back(std::move(name), r.Value());
    }
    return values;
}

// How the sender's columns map onto this side's schema: -1 for a property
// this side does not know (a newer agent), whose values are dropped.
std::vector<int> ReadHeader(const Frame& frame, const cimv2::ClassSchema& expected) {
    ByteReader r(frame.payload);
    std::string className = r.String();
    if (!cimv2::EqualsNoCase(className, expected.Name()))
        Malformed("answer for class \"" + className + "\" to a query of " + expected.Name());
    uint16_t count = r.U16();
    std::vector<int> columns;
    std::vector<bool> seen(expected.Properties().size(), false);
    for (uint16_t n = 0; n < count; ++n) {
        std::string name = r.String();
        auto type = static_cast<cimv2::CimType>(r.U16());
        uint8_t flags = r.U8();
        int index = expected.IndexOf(name);
        if (index >= 0) {
            const cimv2::PropertyDef& def = expected.Properties()[static_cast<size_t>(index)];
            if (def.type != type || def.IsArray() != ((flags & cimv2::kArray) != 0))
                Malformed("property " + expected.Name() + "." + name + " has a different type on the far side");
            if (seen[static_cast<size_t>(index)]) Malformed("property " + name + " is listed twice");
            seen[static_cast<size_t>(index)] = true;
        }
        columns.push_back(index);
    }
    r.Finish("header");
    return columns;
}

cimv2::Instance ReadRecord(const Frame& frame, const cimv2::ClassSchema& schema, const std::vector<int>& columns,
                           size_t& valuesDecoded) {
    ByteReader r(frame.payload);
    cimv2::Instance inst(schema);
    std::vector<bool> set(columns.size(), false);
    uint16_t count = r.U16();
    for (uint16_t n = 0; n < count; ++n) {
        uint16_t column = r.U16();
        if (column >= columns.size())
            Malformed("record names column " + std::to_string(column) + " of " + std::to_string(columns.size()));
        if (set[column]) Malformed("record sets a column twice");
        set[column] = true;
        cimv2::Value value = r.Value();
        ++valuesDecoded;
        valuesDecoded += value.items.size();
        int index = columns[column];
        if (index < 0) continue;
        const cimv2::PropertyDef& def = schema.Properties()[static_cast<size_t>(index)];
        if (value.IsNull() || !cimv2::ValueFits(value, def.type, def.IsArray()))
            Malformed("value of " + schema.Name() + "." + def.name + " does not fit its type " +
                      cimv2::CimTypeName(def.type) + (def.IsArray() ? "[]" : ""));
        inst.values[static_cast<size_t>(index)] = std::move(value);
    }
    r.Finish("record");
    return inst;
}

// The bytes a value takes in a record, as ByteWriter::Value writes it.
size_t EncodedSize(const cimv2::Value& v) {
    using K = cimv2::Value::Kind;
    switch (v.kind) {
        case K::Null:
            return 1;
        case K::Text:
            return 1 + 4 + v.text.size();
        case K::Bool:
            return 2;
        case K::Array: {
            size_t size = 1 + 4;
            for (const auto& item : v.items) size += EncodedSize(item);
            return size;
        }
        default:
            return 1 + 8;
    }
}

// The payload size of a record over these columns, and how many values the
// reader will count in it.
size_t RecordSize(const cimv2::Instance& instance, const std::vector<int>& columns, size_t& values) {
    size_t size = 2;
    values = 0;
    for (int index : columns) {
        const cimv2::Value& v = instance.values[static_cast<size_t>(index)];
        if (v.IsNull()) continue;
        size += 2 + EncodedSize(v);
        values += 1 + v.items.size();
    }
    return size;
}

// Makes a value at least `excess` bytes and `extraItems` items smaller.
void CutValue(cimv2::Value& v, size_t excess, size_t extraItems) {
    if (v.kind == cimv2::Value::Kind::Text) {
        size_t keep = v.text.size() > excess + kCutMark.size() ? v.text.size() - excess - kCutMark.size() : 0;
        // Not inside a UTF-8 sequence.
        while (keep > 0 && (static_cast<uint8_t>(v.text[keep]) & 0xC0) == 0x80) --keep;
        if (keep == 0) {
            v = cimv2::Value::Null();
            return;
        }
        v.text.resize(keep);
        v.text += kCutMark;
        return;
    }
    if (v.kind == cimv2::Value::Kind::Array) {
        size_t removed = 0, dropped = 0;
        while (!v.items.empty() && (removed < excess || dropped < extraItems)) {
            removed += EncodedSize(v.items.back());
            ++dropped;
            v.items.pop_back();
        }
        return;
    }
    v = cimv2::Value::Null();
}

}  // namespace

uint8_t LastNoteCause(uint16_t peerVersion) {
    if (peerVersion < 2) return 0;
    if (peerVersion < 3) return static_cast<uint8_t>(cimv2::NoteCause::NoSource);
    return cimv2::kLastNoteCause;
}

std::vector<int> AnswerColumns(const cimv2::QueryResult& result) {
    const auto& props = result.schema->Properties();
    // No select list given (a result made by hand): all of them.
    std::vector<bool> sent(props.size(), result.selected.empty());
    for (int index : result.selected)
        if (index >= 0 && static_cast<size_t>(index) < props.size()) sent[static_cast<size_t>(index)] = true;
    std::vector<int> columns;
    for (size_t n = 0; n < props.size(); ++n)
        if (sent[n] || props[n].IsKey()) columns.push_back(static_cast<int>(n));
    return columns;
}

std::vector<std::string> FitRecord(cimv2::Instance& instance, const std::vector<int>& columns, size_t maxFrameBytes) {
    std::vector<std::string> cut;
    const size_t room = maxFrameBytes > 0 ? maxFrameBytes - 1 : 0;  // the frame's type byte
    for (;;) {
        size_t values = 0;
        const size_t size = RecordSize(instance, columns, values);
        if (size <= room && values <= kMaxValuesPerFrame) return cut;
        // Too many items: the longest array gives way; too many bytes: the
        // largest value.
        const size_t extraItems = values > kMaxValuesPerFrame ? values - kMaxValuesPerFrame : 0;
        int target = -1;
        size_t measure = 0;
        for (int index : columns) {
            const cimv2::Value& v = instance.values[static_cast<size_t>(index)];
            const size_t m = extraItems > 0 ? v.items.size() : (v.IsNull() ? 0 : EncodedSize(v));
            if (m > measure) target = index, measure = m;
        }
        if (target < 0) return cut;
        CutValue(instance.values[static_cast<size_t>(target)], size > room ? size - room : 0, extraItems);
        const std::string& name = instance.schema->Properties()[static_cast<size_t>(target)].name;
        if (std::find(cut.begin(), cut.end(), name) == cut.end()) cut.push_back(name);
    }
}

const cimv2::ClassSchema* RegistrySchema(std::string_view className) {
    const cimv2::ClassEntry* entry = cimv2::FindClass(className);
    return entry ? &entry->schema() : nullptr;
}

// ---- writing

void ByteWriter::U16(uint16_t v) {
    U8(static_cast<uint8_t>(v >> 8));
    U8(static_cast<uint8_t>(v));
}

void ByteWriter::U32(uint32_t v) {
    U16(static_cast<uint16_t>(v >> 16));
    U16(static_cast<uint16_t>(v));
}

void ByteWriter::U64(uint64_t v) {
    U32(static_cast<uint32_t>(v >> 32));
    U32(static_cast<uint32_t>(v));
}

void ByteWriter::String(std::string_view s) {
    U32(static_cast<uint32_t>(s.size()));
    FBytes.append(s);
}

void ByteWriter::Value(const cimv2::Value& v) {
    using K = cimv2::Value::Kind;
    switch (v.kind) {
        case K::Null:
            U8(static_cast<uint8_t>(Tag::Null));
            break;
        case K::Text:
            U8(static_cast<uint8_t>(Tag::Text));
            String(v.text);
            break;
        case K::Int:
            U8(static_cast<uint8_t>(Tag::Int));
            U64(static_cast<uint64_t>(v.i));
            break;
        case K::UInt:
            U8(static_cast<uint8_t>(Tag::UInt));
            U64(v.u);
            break;
        case K::Real: {
            uint64_t bits = 0;
            std::memcpy(&bits, &v.r, sizeof bits);
            U8(static_cast<uint8_t>(Tag::Real));
            U64(bits);
            break;
        }
        case K::Bool:
            U8(static_cast<uint8_t>(Tag::Bool));
            U8(v.b ? 1 : 0);
            break;
        case K::Array:
            U8(static_cast<uint8_t>(Tag::Array));
            U32(static_cast<uint32_t>(v.items.size()));
            for (const auto& item : v.items) Value(item);
            break;
    }
}

void AppendFrame(std::string& out, FrameType type, std::string_view payload) {
    uint32_t length = static_cast<uint32_t>(payload.size() + 1);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(length >> shift));
    out.push_back(static_cast<char>(type));
    out.append(payload);
}

std::string HelloPayload(std::string_view software, uint16_t version) {
    ByteWriter w;
    w.U32(kMagic);
    w.U16(version);
    w.String(software);
    return std::move(w.Bytes());
}

std::string QueryPayload(std::string_view wql) {
    ByteWriter w;
    w.String(wql);
    return std::move(w.Bytes());
}

std::string MethodPayload(const cimv2::Instance& keys, std::string_view method, const cimv2::ParamList& in) {
    ByteWriter w;
    w.String(keys.schema->Name());
    std::vector<std::pair<std::string, cimv2::Value>> keyValues;
    const auto& props = keys.schema->Properties();
    for (size_t n = 0; n < props.size(); ++n)
        if (props[n].IsKey()) keyValues.emplace_back(props[n].name, keys.values[n]);
    WriteNamedValues(w, keyValues);
    w.String(method);
    WriteNamedValues(w, in);
    return std::move(w.Bytes());
}

std::string HeaderPayload(const cimv2::ClassSchema& schema) {
    std::vector<int> every(schema.Properties().size());
    std::iota(every.begin(), every.end(), 0);
    return HeaderPayload(schema, every);
}

std::string HeaderPayload(const cimv2::ClassSchema& schema, const std::vector<int>& columns) {
    ByteWriter w;
    w.String(schema.Name());
    w.U16(static_cast<uint16_t>(columns.size()));
    for (int index : columns) {
        const cimv2::PropertyDef& p = schema.Properties()[static_cast<size_t>(index)];
        w.String(p.name);
        w.U16(static_cast<uint16_t>(p.type));
        w.U8(static_cast<uint8_t>(p.flags));
    }
    return std::move(w.Bytes());
}

std::string RecordPayload(const cimv2::Instance& instance, const std::vector<int>& columns) {
    ByteWriter w;
    uint16_t present = 0;
    for (int index : columns)
        present = static_cast<uint16_t>(present + (instance.values[static_cast<size_t>(index)].IsNull() ? 0 : 1));
    w.U16(present);
    for (size_t n = 0; n < columns.size(); ++n) {
        const cimv2::Value& v = instance.values[static_cast<size_t>(columns[n])];
        if (v.IsNull()) continue;
        w.U16(static_cast<uint16_t>(n));
        w.Value(v);
    }
    return std::move(w.Bytes());
}

std::string RecordPayload(const cimv2::Instance& instance) {
    ByteWriter w;
    uint16_t present = 0;
    for (const auto& v : instance.values) present = static_cast<uint16_t>(present + (v.IsNull() ? 0 : 1));
    w.U16(present);
    for (size_t n = 0; n < instance.values.size(); ++n) {
        if (instance.values[n].IsNull()) continue;
        w.U16(static_cast<uint16_t>(n));
        w.Value(instance.values[n]);
    }
    return std::move(w.Bytes());
}

std::string EndPayload(uint32_t count) {
    ByteWriter w;
    w.U32(count);
    return std::move(w.Bytes());
}

std::string ErrorPayload(uint32_t code, std::string_view message) {
    ByteWriter w;
    w.U32(code);
    w.String(message);
    return std::move(w.Bytes());
}

std::string OutParamsPayload(const cimv2::ParamList& out) {
    ByteWriter w;
    WriteNamedValues(w, out);
    return std::move(w.Bytes());
}

std::string NotePayload(const cimv2::SourceNote& note) {
    ByteWriter w;
    w.U8(static_cast<uint8_t>(note.cause));
    w.String(note.sources);
    return std::move(w.Bytes());
}

void AppendAnswer(std::string& out, const cimv2::QueryResult& result, uint16_t peerVersion) {
    AppendFrame(out, FrameType::Header, HeaderPayload(*result.schema));
    for (const auto& inst : result.instances) AppendFrame(out, FrameType::Record, RecordPayload(inst));
    if (peerVersion >= 2)
        for (const auto& note : result.notes) AppendFrame(out, FrameType::Note, NotePayload(note));
    AppendFrame(out, FrameType::End, EndPayload(static_cast<uint32_t>(result.instances.size())));
}

// ---- reading

std::string_view ByteReader::Take(size_t n) {
    if (n > FBytes.size() - FPos) Malformed("a field runs past the end of its frame");
    std::string_view part = FBytes.substr(FPos, n);
    FPos += n;
    return part;
}

uint8_t ByteReader::U8() { return static_cast<uint8_t>(Take(1)[0]); }

uint16_t ByteReader::U16() {
    std::string_view b = Take(2);
    return static_cast<uint16_t>((static_cast<uint8_t>(b[0]) << 8) | static_cast<uint8_t>(b[1]));
}

uint32_t ByteReader::U32() {
    uint32_t high = U16();
    return (high << 16) | U16();
}

uint64_t ByteReader::U64() {
    uint64_t high = U32();
    return (high << 32) | U32();
}

std::string ByteReader::String() {
    uint32_t length = U32();
    return std::string(Take(length));
}

cimv2::Value ByteReader::Scalar(uint8_t tag) {
    switch (static_cast<Tag>(tag)) {
        case Tag::Text:
            return cimv2::Value::Text(String());
        case Tag::Int:
            return cimv2::Value::Int(static_cast<int64_t>(U64()));
        case Tag::UInt:
            return cimv2::Value::UInt(U64());
        case Tag::Real: {
            uint64_t bits = U64();
            double r = 0;
            std::memcpy(&r, &bits, sizeof r);
            return cimv2::Value::Real(r);
        }
        case Tag::Bool: {
            uint8_t b = U8();
            if (b > 1) Malformed("boolean byte " + std::to_string(b));
            return cimv2::Value::Bool(b == 1);
        }
        default:
            break;
    }
    Malformed("unknown value tag " + std::to_string(tag));
}

cimv2::Value ByteReader::Value() {
    uint8_t tag = U8();
    if (tag == static_cast<uint8_t>(Tag::Null)) return cimv2::Value::Null();
    if (++FValues > kMaxValuesPerFrame)
        Malformed("more than " + std::to_string(kMaxValuesPerFrame) + " values in a frame");
    if (tag != static_cast<uint8_t>(Tag::Array)) return Scalar(tag);
    uint32_t count = U32();
    // Every item takes at least two bytes, which bounds the count before
    // anything is allocated.
    if (count > (FBytes.size() - FPos) / 2 || count > kMaxValuesPerFrame - FValues)
        Malformed("an array of " + std::to_string(count) + " items does not fit its frame");
    FValues += count;
    std::vector<cimv2::Value> items;
    items.reserve(count);
    for (uint32_t n = 0; n < count; ++n) {
        uint8_t itemTag = U8();
        if (itemTag == static_cast<uint8_t>(Tag::Null) || itemTag == static_cast<uint8_t>(Tag::Array))
            Malformed("an array item must be a plain value");
        items.push_back(Scalar(itemTag));
    }
    return cimv2::Value::Array(std::move(items));
}

void ByteReader::Finish(const char* what) const {
    if (!AtEnd()) Malformed(std::to_string(FBytes.size() - FPos) + " stray bytes after a " + what);
}

void FrameParser::Feed(const char* data, size_t size) {
    if (FStart > 0 && FStart == FBuffer.size()) {
        FBuffer.clear();
        FStart = 0;
    }
    FBuffer.append(data, size);
}

std::optional<Frame> FrameParser::Next() {
    size_t available = FBuffer.size() - FStart;
    if (available < 4) return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(FBuffer.data() + FStart);
    uint32_t length = (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
    if (length == 0) Malformed("an empty frame");
    if (length > FMaxFrame)
        throw cimv2::WbemError(kTransportFailure, "A frame of " + std::to_string(length) +
                                                      " bytes is over the limit of " + std::to_string(FMaxFrame));
    if (available - 4 < length) return std::nullopt;
    Frame frame;
    frame.type = static_cast<FrameType>(p[4]);
    frame.payload.assign(FBuffer, FStart + 5, length - 1);
    FStart += 4 + length;
    // Drop consumed bytes once they outweigh what is left, so the buffer stays
    // near one frame in size.
    if (FStart > FBuffer.size() / 2) {
        FBuffer.erase(0, FStart);
        FStart = 0;
    }
    return frame;
}

MemoryFrameSource::MemoryFrameSource(std::string_view bytes, size_t maxFrameBytes) : FParser(maxFrameBytes) {
    FParser.Feed(bytes.data(), bytes.size());
}

Frame MemoryFrameSource::NextFrame() {
    if (auto frame = FParser.Next()) return std::move(*frame);
    throw cimv2::WbemError(kTransportFailure, "The answer from the agent ended before it was complete");
}

Hello DecodeHello(const Frame& frame) {
    Expect(frame, FrameType::Hello);
    ByteReader r(frame.payload);
    if (r.U32() != kMagic) Malformed("the hello frame lacks the agent's mark");
    Hello hello;
    hello.version = r.U16();
    hello.software = r.String();
    r.Finish("hello");
    return hello;
}

void ThrowErrorFrame(const Frame& frame) {
    ByteReader r(frame.payload);
    uint32_t code = r.U32();
    std::string message = r.String();
    r.Finish("error");
    // Only failure codes pass; anything else would read as success.
    if ((code & 0x80000000u) == 0) Malformed("error frame with code " + std::to_string(code));
    throw cimv2::WbemError(code, message);
}

std::vector<cimv2::Instance> ReadQueryAnswer(FrameSource& source, const cimv2::ClassSchema& expected,
                                             const Limits& limits, std::vector<cimv2::SourceNote>* notes) {
    return ReadAnswerBody(source, source.NextFrame(), expected, limits, notes);
}

std::vector<cimv2::Instance> ReadAnswerBody(FrameSource& source, const Frame& header,
                                            const cimv2::ClassSchema& expected, const Limits& limits,
                                            std::vector<cimv2::SourceNote>* notes) {
    Expect(header, FrameType::Header);
    std::vector<int> columns = ReadHeader(header, expected);
    const size_t instanceCost = (expected.Properties().size() + 1) * sizeof(cimv2::Value) + sizeof(cimv2::Instance);
    // What was sent, and what it takes here: a record of one value is still
    // a whole instance.
    size_t total = header.payload.size() + 5;
    size_t memory = header.payload.size();
    std::vector<cimv2::Instance> instances;
    // The notes name the class queried, whatever the far side would say.
    cimv2::SourceNotes said(expected.Name());
    size_t noteCount = 0;
    for (;;) {
        Frame frame = source.NextFrame();
        if (frame.type == FrameType::End) {
            ByteReader r(frame.payload);
            uint32_t count = r.U32();
            r.Finish("end marker");
            if (count != instances.size())
                Malformed("end marker counts " + std::to_string(count) + " records, " +
                          std::to_string(instances.size()) + " arrived");
            if (notes) *notes = said.Take();
            return instances;
        }
        if (frame.type == FrameType::Note) {
            ByteReader r(frame.payload);
            const uint8_t cause = r.U8();
            std::string sources = r.String();
            r.Finish("note");
            if (cause < 1 || cause > LastNoteCause(kProtocolVersion))
                Malformed("note of unknown cause " + std::to_string(cause));
            if (sources.empty()) Malformed("a note that names no source");
            if (++noteCount > kMaxNotesPerAnswer)
                Malformed("more than " + std::to_string(kMaxNotesPerAnswer) + " notes in an answer");
            total += frame.payload.size() + 5;
            // Cut before escaping: a sequence cut short is escaped like any stray byte.
            said.Add(static_cast<cimv2::NoteCause>(cause),
                     cimv2::EscapeControls(std::string_view(sources).substr(0, kMaxNoteSourcesBytes)));
            continue;
        }
        Expect(frame, FrameType::Record);
        size_t values = 0;
        cimv2::Instance inst = ReadRecord(frame, expected, columns, values);
        total += frame.payload.size() + 5;
        memory += frame.payload.size() + instanceCost + values * sizeof(cimv2::Value);
        if (total > limits.maxAnswerBytes)
            throw cimv2::WbemError(kTransportFailure, "The answer from the agent is over the limit of " +
                                                          std::to_string(limits.maxAnswerBytes) + " bytes");
        if (memory > limits.maxAnswerMemory)
            throw cimv2::WbemError(kTransportFailure, "The answer from the agent would take more than " +
                                                          std::to_string(limits.maxAnswerMemory) +
                                                          " bytes of memory here");
        instances.push_back(std::move(inst));
    }
}

cimv2::ParamList ReadMethodAnswer(FrameSource& source, const cimv2::MethodDef& method) {
    Frame frame = source.NextFrame();
    Expect(frame, FrameType::OutParams);
    ByteReader r(frame.payload);
    cimv2::ParamList out = ReadNamedValues(r);
    r.Finish("out parameters");
    std::vector<bool> seen(method.out.size(), false);
    for (const auto& [name, value] : out) {
        size_t n = 0;
        while (n < method.out.size() && !cimv2::EqualsNoCase(method.out[n].name, name)) ++n;
        if (n == method.out.size()) Malformed("unknown out parameter \"" + name + "\" of " + method.name);
        if (seen[n]) Malformed("out parameter \"" + name + "\" is given twice");
        seen[n] = true;
        const cimv2::ParameterDef& def = method.out[n];
        if (!cimv2::ValueFits(value, def.type, (def.flags & cimv2::kArray) != 0))
            Malformed("out parameter \"" + name + "\" does not fit its type " + cimv2::CimTypeName(def.type));
    }
    return out;
}

std::string DecodeQuery(const Frame& frame) {
    ByteReader r(frame.payload);
    std::string wql = r.String();
    r.Finish("query");
    return wql;
}

MethodRequest DecodeMethod(const Frame& frame) {
    ByteReader r(frame.payload);
    MethodRequest request;
    request.className = r.String();
    request.keys = ReadNamedValues(r);
    request.method = r.String();
    request.in = ReadNamedValues(r);
    r.Finish("method call");
    return request;
}

size_t DecodeAnswerStream(std::span<const uint8_t> bytes, const SchemaLookup& lookup, const Limits& limits) {
    MemoryFrameSource source(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                             limits.maxFrameBytes);
    DecodeHello(source.NextFrame());
    // The class comes from the first header, as a query would have named it.
    Frame header = source.NextFrame();
    Expect(header, FrameType::Header);
    ByteReader r(header.payload);
    std::string className = r.String();
    const cimv2::ClassSchema* schema = lookup(className);
    if (!schema) Malformed("unknown class \"" + className + "\"");
    return ReadAnswerBody(source, header, *schema, limits).size();
}

}  // namespace remote
