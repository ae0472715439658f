#include "app/cli/NearestNames.h"

#include <algorithm>
#include <cctype>

#include "cimv2/core/Schema.h"

namespace cli {

namespace {

constexpr size_t kMostShown = 3;
constexpr size_t kMostEdits = 3;

char Folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

size_t MostEdits(std::string_view word) { return std::clamp<size_t>(word.size() / 3, 1, kMostEdits); }

// A word of a few letters that begins a name is one edit from it: "Disk"
// means Win32_DiskDrive more than Win32_BIOS.
constexpr size_t kShortestBeginning = 3;

bool Begins(std::string_view text, std::string_view word) {
    return word.size() >= kShortestBeginning && word.size() < text.size() &&
           cimv2::EqualsNoCase(text.substr(0, word.size()), word);
}

}  // namespace

size_t EditDistance(std::string_view a, std::string_view b) {
    // Three rows of the distance table: two rows back for a swap.
    std::vector<size_t> before(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) last[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const bool same = Folded(a[i - 1]) == Folded(b[j - 1]);
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && Folded(a[i - 1]) == Folded(b[j - 2]) && Folded(a[i - 2]) == Folded(b[j - 1]))
                row[j] = std::min(row[j], before[j - 2] + 1);
        }
        std::swap(before, last);
        std::swap(last, row);
    }
    return last[b.size()];
}

std::vector<std::string> NearestNames(std::string_view word, const std::vector<Spelling>& known) {
    const size_t most = MostEdits(word);
    size_t best = most + 1;
    std::vector<std::string> nearest;
    for (const Spelling& spelling : known) {
        if (cimv2::EqualsNoCase(spelling.shown, word)) continue;
        size_t distance = 1;
        if (!Begins(spelling.text, word)) {
            // The distance is at least the difference in length: a long
            // text costs no table.
            const size_t longer = std::max(spelling.text.size(), word.size());
            const size_t shorter = std::min(spelling.text.size(), word.size());
            if (longer - shorter > std::min(best, most)) continue;
            distance = EditDistance(word, spelling.text);
        }
        if (distance > most || distance > best) continue;
        if (distance < best) {
            best = distance;
            nearest.clear();
        }
        if (std::find(nearest.begin(), nearest.end(), spelling.shown) == nearest.end())
            nearest.push_back(spelling.shown);
    }
    if (nearest.size() > kMostShown) nearest.resize(kMostShown);
    return nearest;
}

std::vector<std::string> NearestNames(std::string_view word, const std::vector<std::string>& known) {
    std::vector<Spelling> spellings;
    for (const std::string& name : known) spellings.push_back({name, name});
    return NearestNames(word, spellings);
}

std::string DidYouMean(const std::vector<std::string>& names, bool quoted) {
    if (names.empty()) return {};
    std::string text = "did you mean ";
    for (size_t n = 0; n < names.size(); ++n) {
        if (n) text += n + 1 == names.size() ? " or " : ", ";
        text += quoted ? "\"" + names[n] + "\"" : names[n];
    }
    return text + "?";
}

}  // namespace cli
