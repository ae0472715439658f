// Bytes from the far side of an ssh channel through the frame and record
// decoders: the client's answer reader and the agent's request reader.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "cimv2/core/WbemError.h"
#include "remote/Protocol.h"

namespace {

const cimv2::ClassSchema& FuzzSchema() {
    using cimv2::CimType;
    static const cimv2::ClassSchema schema(
        "Fuzz_Frame",
        {
            {"Name", CimType::String, cimv2::kKey},
            {"Count", CimType::UInt32},
            {"Delta", CimType::SInt64},
            {"Ratio", CimType::Real64},
            {"On", CimType::Boolean},
            {"Codes", CimType::UInt16, cimv2::kArray},
            {"Tags", CimType::String, cimv2::kArray},
            {"Stamp", CimType::DateTime},
        },
        {cimv2::MethodDef{"Poke", {{"Level", CimType::UInt32}}, {{"ReturnValue", CimType::UInt32}}}});
    return schema;
}

const cimv2::ClassSchema* Lookup(std::string_view name) {
    if (cimv2::EqualsNoCase(name, "Fuzz_Frame")) return &FuzzSchema();
    return remote::RegistrySchema(name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // Small caps, so the fuzzer reaches them.
    remote::Limits limits;
    limits.maxFrameBytes = 1 << 16;
    limits.maxAnswerBytes = 1 << 20;
    std::span<const uint8_t> bytes(data + 1, size - 1);
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    try {
        switch (data[0] % 3) {
            case 0:
                remote::DecodeAnswerStream(bytes, Lookup, limits);
                break;
            case 1: {
                remote::MemoryFrameSource source(text, limits.maxFrameBytes);
                remote::ReadMethodAnswer(source, FuzzSchema().Methods()[0]);
                break;
            }
            default: {
                remote::MemoryFrameSource source(text, limits.maxFrameBytes);
                remote::Frame frame = source.NextFrame();
                if (frame.type == remote::FrameType::Method)
                    remote::DecodeMethod(frame);
                else
                    remote::DecodeQuery(frame);
                break;
            }
        }
    } catch (const cimv2::WbemError&) {
    }
    return 0;
}
