// libFuzzer target for the /proc/bus/input/devices parser and the
// capability rules that read its bitmaps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/InputDevices.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& device : cimv2::input::ParseDevices(text)) {
        // Every text is a copy of part of the input.
        if (device.name.empty() || device.name.size() > size || device.sysfs.size() > size) std::abort();
        if (cimv2::input::ButtonCount(device) > 8 || cimv2::input::FunctionKeyCount(device) > 12) std::abort();
        (void)cimv2::input::IsKeyboard(device);
        (void)cimv2::input::PointerOf(device);
    }
    if (auto bitmap = cimv2::input::Bitmap::Parse(text))
        if (bitmap->Count(0, 4095) > 4096) std::abort();
    return 0;
}
