#include "cimv2/core/SafeText.h"

#include <cctype>
#include <cstdio>

namespace cimv2 {

namespace {

struct Utf8Step {
    size_t length;  // bytes taken: the sequence, or its maximal ill-formed subpart
    bool valid;
    char32_t code;
};

// The UTF-8 sequence at text[at] (well-formed as Unicode's table 3-7 has it).
Utf8Step NextUtf8(std::string_view text, size_t at) {
    auto byte = [&](size_t n) { return static_cast<unsigned char>(text[n]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return {1, true, lead};
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    char32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {1, false, 0};
    }
    for (size_t k = 1; k < length; ++k) {
        if (at + k >= text.size()) return {k, false, 0};
        unsigned char b = byte(at + k);
        if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF)) return {k, false, 0};
        code = (code << 6) | (b & 0x3F);
    }
    return {length, true, code};
}

void AppendHex(std::string& out, const char* form, unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, form, value);
    out += buf;
}

}  // namespace

void AppendValidUtf8(std::string& out, std::string_view text) {
    size_t n = 0;
    while (n < text.size()) {
        size_t plain = n;
        while (plain < text.size() && static_cast<unsigned char>(text[plain]) < 0x80) ++plain;
        out.append(text.data() + n, plain - n);
        n = plain;
        if (n >= text.size()) break;
        Utf8Step step = NextUtf8(text, n);
        if (step.valid)
            out.append(text.data() + n, step.length);
        else
            out += "\xEF\xBF\xBD";
        n += step.length;
    }
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendValidUtf8(out, text);
    return out;
}

namespace {

// Characters that show nothing and change how what follows is shown:
// bidirectional embeddings, overrides and isolates (U+202E turns the rest of
// the line around), invisible separators and marks that hide text. ZWNJ and
// ZWJ stay: scripts and emoji need them.
bool IsFormatCharacter(char32_t code) {
    return code == 0x061C || code == 0x180E || code == 0x200B || code == 0x200E || code == 0x200F ||
           (code >= 0x2028 && code <= 0x202E) || (code >= 0x2060 && code <= 0x206F) || code == 0xFEFF ||
           (code >= 0xFFF9 && code <= 0xFFFB) || (code >= 0xE0000 && code <= 0xE007F);
}

// Whether a backslash before this text would read as one of the escapes
// written here for a byte (\x1b, \u202e, \U000e0001). Other backslashes
// ("PCI\VEN_8086", "\\.\PHYSICALDRIVE0", "host\user") read as they are.
bool StartsEscape(std::string_view rest) {
    return rest.size() >= 2 && (rest[0] == 'x' || rest[0] == 'u' || rest[0] == 'U') &&
           std::isxdigit(static_cast<unsigned char>(rest[1]));
}

struct EscapeRules {
    bool backslash = false;  // doubled where it would read as an escape
    bool layout = false;     // tab and line feed kept
};

std::string Escape(std::string_view text, EscapeRules rules) {
    std::string out;
    out.reserve(text.size());
    size_t n = 0;
    while (n < text.size()) {
        Utf8Step step = NextUtf8(text, n);
        if (rules.backslash && step.code == '\\' && StartsEscape(text.substr(n + 1))) {
            out += "\\\\";
        } else if (rules.layout && step.valid && (step.code == '\t' || step.code == '\n')) {
            out += static_cast<char>(step.code);
        } else if (!step.valid) {
            for (size_t k = 0; k < step.length; ++k) AppendHex(out, "\\x%02x", static_cast<unsigned char>(text[n + k]));
        } else if (step.code < 0x20 || step.code == 0x7F) {
            switch (step.code) {
                case '\a':
                    out += "\\a";
                    break;
                case '\b':
                    out += "\\b";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\v':
                    out += "\\v";
                    break;
                case '\f':
                    out += "\\f";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                default:
                    AppendHex(out, "\\x%02x", static_cast<unsigned>(step.code));
            }
        } else if ((step.code >= 0x80 && step.code <= 0x9F) || IsFormatCharacter(step.code)) {
            AppendHex(out, step.code > 0xFFFF ? "\\U%08x" : "\\u%04x", static_cast<unsigned>(step.code));
        } else {
            out.append(text.data() + n, step.length);
        }
        n += step.length;
    }
    return out;
}

}  // namespace

std::string EscapeControls(std::string_view text) { return Escape(text, {}); }

std::string EscapeForTerminal(std::string_view text) { return Escape(text, {.backslash = true}); }

std::string EscapeLayoutForTerminal(std::string_view text) { return Escape(text, {.layout = true}); }

}  // namespace cimv2
