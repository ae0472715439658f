#pragma once
// Strict readers of the small texts that machine files hold: a number is
// all digits (no sign where none is allowed, no trailing rubbish, no
// overflow), so a damaged file gives nothing rather than a wrong value.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace cimv2 {

// Without leading and trailing blanks, tabs and line ends.
std::string_view Trim(std::string_view text);
// The first line of text (without its line end), consumed from the front.
std::string_view NextLine(std::string_view& text);
// Decimal digits only, after trimming.
std::optional<uint64_t> ParseUnsigned(std::string_view text);
// An optional '-' or '+' and decimal digits, after trimming.
std::optional<int64_t> ParseSigned(std::string_view text);
// Hexadecimal digits with an optional 0x, at most maxDigits of them (ids
// such as "0x8086" or "10de").
std::optional<uint32_t> ParseHex(std::string_view text, size_t maxDigits = 8);
// KEY=value lines (os-release, uevent): blanks trimmed, one pair of
// enclosing quotes removed, comments and lines without '=' skipped.
std::map<std::string, std::string> ParseKeyValues(std::string_view text);

}  // namespace cimv2
