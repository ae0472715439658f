// libFuzzer target for the /proc/interrupts and /proc/dma line parsers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/Interrupts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& line : cimv2::ParseInterrupts(text)) {
        // Every field is a copy of input text: no field can outgrow it.
        if (line.chip.size() > size || line.trigger.size() > size) std::abort();
        for (const auto& action : line.actions)
            if (action.empty() || action.size() > size) std::abort();
    }
    for (const auto& line : cimv2::ParseDma(text))
        if (line.device.size() > size) std::abort();
    return 0;
}
