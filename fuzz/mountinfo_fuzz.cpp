// libFuzzer target for the /proc/self/mountinfo reader and the drive rule.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/Mounts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& mount : cimv2::mounts::ParseMountInfo(text)) {
        // Decoding only shortens fields: nothing can outgrow the input.
        if (mount.mountPoint.empty() || mount.mountPoint[0] != '/' || mount.mountPoint.size() > size ||
            mount.source.size() > size || mount.fileSystem.size() > size || mount.root.size() > size)
            std::abort();
        for (const auto& option : mount.options)
            if (option.empty() || option.size() > size) std::abort();
        for (bool removable : {false, true})
            if (auto type = cimv2::mounts::DriveType(mount, removable); type && (*type < 2 || *type > 6)) std::abort();
    }
    return 0;
}
