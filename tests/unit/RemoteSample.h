#pragma once
// A class with every kind of value the protocol carries, for the remote tests.
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "cimv2/core/Schema.h"
#include "remote/Protocol.h"

namespace remotetest {

inline const cimv2::ClassSchema& SampleSchema() {
    using cimv2::CimType;
    static const cimv2::ClassSchema schema(
        "Sq_Sample",
        {
            {"Name", CimType::String, cimv2::kKey},
            {"Count", CimType::UInt32},
            {"Delta", CimType::SInt64},
            {"Ratio", CimType::Real64},
            {"Enabled", CimType::Boolean},
            {"Codes", CimType::UInt16, cimv2::kArray},
            {"Labels", CimType::String, cimv2::kArray},
            {"Stamp", CimType::DateTime},
        },
        {cimv2::MethodDef{
            "Poke", {{"Level", CimType::UInt32}}, {{"ReturnValue", CimType::UInt32}, {"Note", CimType::String}}}});
    return schema;
}

// One frame of the protocol around a payload.
inline std::string FrameBytes(remote::FrameType type, std::string_view payload) {
    std::string out;
    remote::AppendFrame(out, type, payload);
    return out;
}

// The agent's greeting, of another protocol version where a test asks.
inline std::string HelloFrame(uint16_t version = remote::kProtocolVersion) {
    remote::ByteWriter w;
    w.U32(remote::kMagic);
    w.U16(version);
    w.String("test agent");
    return FrameBytes(remote::FrameType::Hello, w.Bytes());
}

inline const cimv2::ClassSchema* SampleLookup(std::string_view name) {
    return cimv2::EqualsNoCase(name, "Sq_Sample") ? &SampleSchema() : nullptr;
}

inline std::vector<cimv2::Instance> SampleInstances() {
    using cimv2::Value;
    cimv2::Instance full(SampleSchema());
    full.SetText("Name", "first \"one\"\n\xff");
    full.Set("Count", Value::UInt(4294967295u));
    full.SetInt("Delta", std::numeric_limits<int64_t>::min());
    full.Set("Ratio", Value::Real(-0.125));
    full.SetBool("Enabled", true);
    full.Set("Codes", Value::Array({Value::UInt(0), Value::UInt(65535), Value::UInt(3)}));
    full.Set("Labels", Value::Array({Value::Text(""), Value::Text("b")}));
    full.SetText("Stamp", "20240101120000.000000+000");
    cimv2::Instance sparse(SampleSchema());
    sparse.SetText("Name", "");
    sparse.SetBool("Enabled", false);
    sparse.Set("Codes", Value::Array({}));
    cimv2::Instance bare(SampleSchema());
    bare.SetText("Name", "bare");
    return {full, sparse, bare};
}

}  // namespace remotetest
