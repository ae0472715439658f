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
// bytes that are not UTF-8 as \xHH, and the invisible characters that
// reorder or hide text (bidirectional overrides such as U+202E, zero-width
// spaces, line separators, tags) as \uHHHH or \UHHHHHHHH. Everything else
// is kept, so plain text (backslashes included) reads as it is.
std::string EscapeControls(std::string_view text);
// The same with a backslash doubled where it would read as the start of a
// \x, \u or \U escape, for data on a terminal: a literal "\x1b" in a value
// then cannot pass for an escaped ESC, while "PCI\VEN_8086" and
// "\\.\PHYSICALDRIVE0" read as they are.
std::string EscapeForTerminal(std::string_view text);
// The same as EscapeControls but tabs and line feeds kept: for text whose
// layout they are (object text), whose backslashes are its own escapes.
std::string EscapeLayoutForTerminal(std::string_view text);

}  // namespace cimv2
