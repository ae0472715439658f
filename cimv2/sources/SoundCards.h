#pragma once
// The sound cards that ALSA lists in /proc/asound/cards: two lines per
// card, " 0 [PCH            ]: HDA-Intel - HDA Intel PCH" and, indented,
// its long name ("HDA Intel PCH at 0x603d1f0000 irq 145").
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2::sound {

struct Card {
    uint32_t number = 0;
    std::string id;         // "PCH"
    std::string driver;     // "HDA-Intel"
    std::string shortName;  // "HDA Intel PCH"
    std::string longName;   // empty when the second line is missing
};

// Every well-formed card entry in order; lines that are not one are skipped.
std::vector<Card> ParseCards(std::string_view text);

}  // namespace cimv2::sound
