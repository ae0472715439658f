// libFuzzer target for the reader of ALSA's /proc/asound/cards, fed
// arbitrary text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/SoundCards.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto cards = cimv2::sound::ParseCards(text);
    // Each card takes a line of its own that holds "[", "]: " and " - ".
    if (cards.size() > size / 8) std::abort();
    for (const auto& card : cards)
        if (card.number > 999) std::abort();
    return 0;
}
