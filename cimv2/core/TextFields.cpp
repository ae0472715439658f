#include "cimv2/core/TextFields.h"

#include <charconv>

namespace cimv2 {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

template <typename T>
std::optional<T> Digits(std::string_view text, int base) {
    if (text.empty()) return std::nullopt;
    T value{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view NextLine(std::string_view& text) {
    const size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    return line;
}

std::optional<uint64_t> ParseUnsigned(std::string_view text) {
    text = Trim(text);
    // from_chars takes no sign for unsigned types, which is what we want.
    return Digits<uint64_t>(text, 10);
}

std::optional<int64_t> ParseSigned(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    return Digits<int64_t>(text, 10);
}

std::optional<uint32_t> ParseHex(std::string_view text, size_t maxDigits) {
    text = Trim(text);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
    if (text.size() > maxDigits || text.size() > 8) return std::nullopt;
    return Digits<uint32_t>(text, 16);
}

std::map<std::string, std::string> ParseKeyValues(std::string_view text) {
    std::map<std::string, std::string> pairs;
    while (!text.empty()) {
        std::string_view line = Trim(NextLine(text));
        size_t eq = line.find('=');
        if (line.empty() || line.front() == '#' || eq == std::string_view::npos) continue;
        std::string_view key = Trim(line.substr(0, eq));
        std::string_view value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (!key.empty()) pairs[std::string(key)] = std::string(value);
    }
    return pairs;
}

}  // namespace cimv2
