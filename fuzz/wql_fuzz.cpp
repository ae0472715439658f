// Arbitrary text through the WQL parser, binding and evaluation.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cimv2/core/WbemError.h"
#include "cimv2/core/Wql.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const cimv2::ClassSchema schema("Fuzz_Thing", {
                                                             {"Name", cimv2::CimType::String, cimv2::kKey},
                                                             {"Size", cimv2::CimType::UInt64},
                                                             {"Delta", cimv2::CimType::SInt32},
                                                             {"Ratio", cimv2::CimType::Real64},
                                                             {"On", cimv2::CimType::Boolean},
                                                             {"Tags", cimv2::CimType::String, cimv2::kArray},
                                                         });
    static const cimv2::Instance sample = [] {
        cimv2::Instance i(schema);
        i.SetText("Name", "sample%_[x]");
        i.Set("Size", cimv2::Value::UInt(1ULL << 40));
        i.SetInt("Delta", -3);
        i.Set("Ratio", cimv2::Value::Real(0.5));
        i.SetBool("On", true);
        i.Set("Tags", cimv2::Value::Array({cimv2::Value::Text("a")}));
        return i;
    }();
    std::string text(reinterpret_cast<const char*>(data), size);
    try {
        cimv2::BoundQuery query(cimv2::ParseWql(text), schema);
        (void)query.Matches(sample);
    } catch (const cimv2::WbemError&) {
    }
    // LIKE patterns are user text too, and values are machine text.
    (void)cimv2::WqlLike("sample%_[x]", text);
    (void)cimv2::WqlLike(text, "%a_[b-d]%[^e]%f");
    const size_t half = text.size() / 2;
    (void)cimv2::WqlLike(text.substr(half), text.substr(0, half));
    return 0;
}
