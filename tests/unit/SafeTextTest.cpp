// Machine text made safe for parsers (valid UTF-8) and terminals (control
// characters escaped).
#include <gtest/gtest.h>

#include "cimv2/core/SafeText.h"

namespace {

TEST(SafeText, IllFormedUtf8BecomesReplacementCharacters) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        std::string text, valid;
    } cases[] = {
        {"plain ascii", "plain ascii"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"host\xFF"
         "name",
         "host" + fffd + "name"},
        {"\x80\xBF", fffd + fffd},  // lone continuation bytes
        {"a\xC3", "a" + fffd},      // cut short at the end
        {"\xE2\x82"
         "A",
         fffd + "A"},                                     // a maximal subpart is one replacement
        {"\xC0\x80", fffd + fffd},                        // overlong
        {"\xE0\x80\x80", fffd + fffd + fffd},             // overlong
        {"\xED\xA0\x80", fffd + fffd + fffd},             // surrogate
        {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},  // past U+10FFFF
        {"\xF5\x80", fffd + fffd},                        // no such lead byte
        {std::string("nul\0kept", 8), std::string("nul\0kept", 8)},
    };
    for (const Case& c : cases) EXPECT_EQ(cimv2::ValidUtf8(c.text), c.valid) << c.text;
}

TEST(SafeText, ControlCharactersAreEscapedForTheTerminal) {
    struct Case {
        std::string text, shown;
    } cases[] = {
        {"PCI\\VEN_8086 caf\xC3\xA9", "PCI\\VEN_8086 caf\xC3\xA9"},
        {"\x1b]0;title\x07", "\\x1b]0;title\\a"},
        {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"del\x7f", "del\\x7f"},
        {"csi\xC2\x9B"
         "2J",
         "csi\\u009b2J"},  // C1 control, as UTF-8
        {"raw\x9B"
         "2J",
         "raw\\x9b2J"},  // C1 control as a bare byte
        {"bad\xFF", "bad\\xff"},
        // Characters that reorder or hide what follows.
        {"txt.\xE2\x80\xAE"
         "exe",
         "txt.\\u202eexe"},  // U+202E right-to-left override
        {"a\xE2\x81\xA6"
         "b\xE2\x81\xA9",
         "a\\u2066b\\u2069"},  // isolates
        {"zero\xE2\x80\x8Bwidth\xEF\xBB\xBF", "zero\\u200bwidth\\ufeff"},
        {"line\xE2\x80\xA8sep", "line\\u2028sep"},
        {"tag\xF3\xA0\x80\x81", "tag\\U000e0001"},
        // Joiners that scripts need stay.
        {"\xD9\x85\xE2\x80\x8C\xD9\x8A", "\xD9\x85\xE2\x80\x8C\xD9\x8A"},
    };
    for (const Case& c : cases) EXPECT_EQ(cimv2::EscapeControls(c.text), c.shown) << c.text;
}

TEST(SafeText, TerminalTextDoublesBackslashesAndLayoutTextKeepsItsLayout) {
    struct Case {
        std::string text, terminal, layout;
    } cases[] = {
        {"literal \\x1b", "literal \\\\x1b", "literal \\x1b"},
        {"\\u202e \\U000e0001 \\\\.\\", "\\\\u202e \\\\U000e0001 \\\\.\\", "\\u202e \\U000e0001 \\\\.\\"},
        // A backslash that reads as no escape stays as Windows names have it.
        {"PCI\\VEN_8086 host\\ana \\xyz end\\", "PCI\\VEN_8086 host\\ana \\xyz end\\",
         "PCI\\VEN_8086 host\\ana \\xyz end\\"},
        {"esc\x1b[2J", "esc\\x1b[2J", "esc\\x1b[2J"},
        {"a\tb\nc", "a\\tb\\nc", "a\tb\nc"},
        {"del\x7f c1\xC2\x9B bad\xFF", "del\\x7f c1\\u009b bad\\xff", "del\\x7f c1\\u009b bad\\xff"},
        {"rlo\xE2\x80\xAE", "rlo\\u202e", "rlo\\u202e"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cimv2::EscapeForTerminal(c.text), c.terminal) << c.text;
        EXPECT_EQ(cimv2::EscapeLayoutForTerminal(c.text), c.layout) << c.text;
    }
}

}  // namespace
