// libFuzzer target for the PCI and USB ID database reader: the index built
// from the text as given and from the same text read from a file (in pieces,
// through a reused buffer) must answer alike, and never read out of bounds.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "cimv2/sources/DeviceTree.h"

namespace {

// A private tree holding the database file, made once per process.
const std::string& TreeDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/pciids-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        if (!made) std::abort();
        const std::string tree = made;
        for (const char* sub : {"/usr", "/usr/share", "/usr/share/misc"})
            if (::mkdir((tree + sub).c_str(), 0700) != 0) std::abort();
        return tree;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Lines longer than the read buffer are skipped in a file only.
    if (size >= (64u << 10)) return 0;
    {
        std::ofstream out(TreeDir() + "/usr/share/misc/pci.ids", std::ios::binary | std::ios::trunc);
        out << text;
    }
    const auto fromText = cimv2::devtree::PciIds::FromText(text);
    const auto fromFile = cimv2::devtree::PciIds::Load(cimv2::SystemRoot(TreeDir()));
    // Ask for ids taken from the input itself, so that some are listed.
    for (size_t at = 0; at + 4 <= size; at += 5) {
        const uint32_t a = static_cast<uint32_t>(data[at]) << 8 | data[at + 1];
        const uint32_t b = static_cast<uint32_t>(data[at + 2]) << 8 | data[at + 3];
        for (uint32_t vendor : {a, b}) {
            auto name = fromText.Vendor(vendor);
            if (name != fromFile.Vendor(vendor) || (name && name->size() > size)) std::abort();
            auto device = fromText.Device(vendor, b);
            if (device != fromFile.Device(vendor, b) || (device && device->size() > size)) std::abort();
        }
        if (fromText.Class(data[at], data[at + 1]) != fromFile.Class(data[at], data[at + 1])) std::abort();
    }
    return 0;
}
