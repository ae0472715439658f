// Object text: whatever reads back must write and read again to the same
// instance; malformed text must only ever raise WbemError.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cimv2/core/ObjectText.h"
#include "cimv2/core/WbemError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const cimv2::ClassSchema schema("Fuzz_Thing", {
                                                             {"Name", cimv2::CimType::String, cimv2::kKey},
                                                             {"Size", cimv2::CimType::UInt64},
                                                             {"Delta", cimv2::CimType::SInt32},
                                                             {"Ratio", cimv2::CimType::Real64},
                                                             {"On", cimv2::CimType::Boolean},
                                                             {"When", cimv2::CimType::DateTime},
                                                             {"Tags", cimv2::CimType::String, cimv2::kArray},
                                                             {"Codes", cimv2::CimType::UInt16, cimv2::kArray},
                                                         });
    std::string text(reinterpret_cast<const char*>(data), size);
    cimv2::Instance first;
    try {
        first = cimv2::ReadObjectText(text, schema);
    } catch (const cimv2::WbemError&) {
        return 0;
    }
    std::string written = cimv2::WriteObjectText(first);
    cimv2::Instance second = cimv2::ReadObjectText(written, schema);
    // NaN never equals itself; compare the written forms instead.
    if (cimv2::WriteObjectText(second) != written) std::abort();
    return 0;
}
