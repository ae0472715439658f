#pragma once
// "Did you mean ...?" for a name the user mistyped: the known names nearest
// to it in edit distance, without letter case.
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Edits (insert, delete, change, swap of two neighbours) that turn a into b,
// letters compared without case.
size_t EditDistance(std::string_view a, std::string_view b);

// One way to write a known name: "BIOS" for Win32_BIOS, a page's menu
// command for its caption.
struct Spelling {
    std::string text;
    std::string shown;
};

// The names whose spellings are nearest to word (at most three, in the
// order known lists them), or none when even the nearest is too far to be a
// slip: more than a third of the word's length, at most three edits. A
// spelling that the word (of three letters or more) begins counts as one
// edit away. A name that is the word itself, in any letter case, is not
// offered.
std::vector<std::string> NearestNames(std::string_view word, const std::vector<Spelling>& known);
std::vector<std::string> NearestNames(std::string_view word, const std::vector<std::string>& known);

// "did you mean A?", "did you mean A or B?", "did you mean A, B or C?";
// empty for no names. Quoted, each name stands in double quotes.
std::string DidYouMean(const std::vector<std::string>& names, bool quoted = false);

}  // namespace cli
