#pragma once
// Text from a machine is bytes: not always UTF-8, and free to hold control
// characters. These make it safe for a parser (valid UTF-8) or a terminal
// (control characters shown as escapes, as `ls -b` shows file names).
#include <string>
#include <string_view>

namespace cimv2 {

// Appends text with each ill-formed UTF-8 sequence (each maximal subpart,
// as Unicode recommends) replaced by U+FFFD.
void AppendValidUtf8(std::string& out, std::string_view text);
std::string ValidUtf8(std::string_view text);

// Text with control characters written as escapes: \t \n \r and the like
// by name, other C0 characters and DEL as \xHH, C1 characters as \u00HH,
// and bytes that are not UTF-8 as \xHH. Everything else is kept, so plain
// text (backslashes included) reads as it is.
std::string EscapeControls(std::string_view text);

}  // namespace cimv2
