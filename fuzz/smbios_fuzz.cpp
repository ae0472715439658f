// libFuzzer target for the SMBIOS reader: the entry point checks, the
// structure walk and every decoder, fed arbitrary bytes.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "cimv2/sources/Smbios.h"

using namespace cimv2::smbios;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes all(data, size);

    // The whole input as a structure table, decoded as each version would.
    WalkResult walk = WalkStructures(all);
    size_t formatted = 0;
    for (const auto& s : walk.structures) {
        // A structure is a copy of input bytes: it can neither outgrow the input nor be shorter than its header.
        if (s.data.size() < 4 || s.data.size() > size) std::abort();
        formatted += s.data.size();
    }
    if (formatted > size) std::abort();
    for (int major : {2, 3}) DecodeStructures(walk, major, major == 2 ? 4 : 7);

    // The first byte chooses how much of the rest is the entry point, so both
    // the 2.x (31 bytes) and 3.x (24 bytes) layouts see their own lengths.
    if (size > 0) {
        size_t split = std::min<size_t>(data[0] % 40, size - 1);
        Bytes rest = all.subspan(1);
        auto parsed = ParseSmbios(rest.first(split), rest.subspan(split));
        if (parsed && (!parsed->fromTables || !parsed->major)) std::abort();

        // A valid 3.x entry point whose maximum size comes from the input, so
        // the walk also runs bounded by lengths shorter and longer than the table.
        std::array<uint8_t, 24> entry = {'_', 'S', 'M', '3', '_', 0, 24, 3, 0, 0, 1, 0};
        uint32_t maxSize = size > 2 ? static_cast<uint32_t>(data[1]) << (data[2] % 16) : 0;
        for (int n = 0; n < 4; ++n) entry[12 + n] = static_cast<uint8_t>(maxSize >> (8 * n));
        uint8_t sum = 0;
        for (uint8_t b : entry) sum = static_cast<uint8_t>(sum + b);
        entry[5] = static_cast<uint8_t>(-sum);
        auto bounded = ParseSmbios(entry, rest);
        if (!bounded || bounded->major != 3) std::abort();
    }
    return 0;
}
