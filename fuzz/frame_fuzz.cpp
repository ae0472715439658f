// Bytes from the far side of an ssh channel through the frame and record
// decoders: the client's answer reader and the agent's request reader; and
// records cut to fit a frame, which must fit and read back as cut.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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
    limits.maxAnswerMemory = 1 << 22;
    std::span<const uint8_t> bytes(data + 1, size - 1);
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    try {
        switch (data[0] % 4) {
            case 3: {
                // The agent's side: an instance decoded from the bytes, cut to
                // a frame of any size, must fit it and read back as sent.
                remote::MemoryFrameSource source(text, limits.maxFrameBytes);
                remote::Frame header = source.NextFrame();
                std::vector<cimv2::Instance> read = remote::ReadAnswerBody(source, header, FuzzSchema(), limits);
                const size_t frame = 16 + (static_cast<size_t>(data[0]) << 4);
                std::vector<int> all;
                for (size_t n = 0; n < FuzzSchema().Properties().size(); ++n) all.push_back(static_cast<int>(n));
                for (cimv2::Instance& inst : read) {
                    remote::FitRecord(inst, all, frame);
                    const std::string payload = remote::RecordPayload(inst, all);
                    if (payload.size() + 1 > frame) std::abort();
                    std::string answer;
                    remote::AppendFrame(answer, remote::FrameType::Header, remote::HeaderPayload(FuzzSchema(), all));
                    remote::AppendFrame(answer, remote::FrameType::Record, payload);
                    remote::AppendFrame(answer, remote::FrameType::End, remote::EndPayload(1));
                    remote::MemoryFrameSource back(answer, frame);
                    if (!(remote::ReadQueryAnswer(back, FuzzSchema(), limits).at(0).values == inst.values))
                        std::abort();
                }
                break;
            }
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
