#include "cimv2/sources/SoundCards.h"

#include "cimv2/core/SafeText.h"
#include "cimv2/core/TextFields.h"

namespace cimv2::sound {

std::vector<Card> ParseCards(std::string_view text) {
    std::vector<Card> cards;
    bool expectLong = false;
    while (!text.empty()) {
        const std::string_view raw = NextLine(text);
        const std::string_view line = Trim(raw);
        // A card's line starts with its number; its long name follows, indented.
        size_t digits = 0;
        while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
        const size_t open = line.find('[');
        const size_t close = line.find("]: ");
        if (digits > 0 && digits <= 3 && open != std::string_view::npos && close != std::string_view::npos &&
            open > digits && close > open) {
            auto number = ParseUnsigned(line.substr(0, digits));
            const std::string_view rest = line.substr(close + 3);
            const size_t dash = rest.find(" - ");
            if (number && dash != std::string_view::npos) {
                Card card;
                card.number = static_cast<uint32_t>(*number);
                card.id = ValidUtf8(Trim(line.substr(open + 1, close - open - 1)));
                card.driver = ValidUtf8(Trim(rest.substr(0, dash)));
                card.shortName = ValidUtf8(Trim(rest.substr(dash + 3)));
                cards.push_back(std::move(card));
                expectLong = true;
                continue;
            }
        }
        if (expectLong && !raw.empty() && (raw.front() == ' ' || raw.front() == '\t') && !line.empty())
            cards.back().longName = ValidUtf8(line);
        expectLong = false;
    }
    return cards;
}

}  // namespace cimv2::sound
