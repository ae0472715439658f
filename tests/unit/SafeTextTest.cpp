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
    };
    for (const Case& c : cases) EXPECT_EQ(cimv2::EscapeControls(c.text), c.shown) << c.text;
}

}  // namespace
