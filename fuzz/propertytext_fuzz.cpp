// Reading values out of object text and converting them, as the components
// do with whatever a computer (local or remote) sent: no crash, no hang, and
// only the documented conversion errors.
#include <cstddef>
#include <cstdint>
#include <string>

#include "wmi/CWMIBase.h"
#include "wmi/UProcedures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"Name", "BiosCharacteristics", "BIOSVersion", "ReleaseDate", "PrimaryBIOS", "Size"}) {
        const std::string value = wmi::TWMIBase::GetPropertyFromText(name, text);
        if (value.size() > text.size()) __builtin_trap();
        const wmi::OleVariant variant = wmi::OleVariant::Text(value);
        const bool isNull = value.empty();
        wmi::WMIVarToInt64(variant, isNull);
        wmi::WMIVarToFloat(variant, isNull);
        wmi::WMIVarToText(variant, isNull);
        try {
            wmi::WMIVarToBool(variant, isNull);
        } catch (const wmi::EVariantTypeCastError&) {
        }
        double date = 0;
        try {
            wmi::WMIVarToDateTime(variant, isNull, date);
        } catch (const wmi::EConvertError&) {
        }
        wmi::TArrString texts;
        wmi::StrToArrString(value, texts);
        wmi::TArrInteger numbers;
        wmi::StrToArrInteger(value, numbers);
        if (texts.size() != numbers.size()) __builtin_trap();
    }
    return 0;
}
