#include "wmi/UProcedures.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "cimv2/core/Schema.h"

namespace wmi {

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
    return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The variant's text; a value that has none (an array, an object) cannot
// become a number or a boolean either.
bool TextOf(const OleVariant& value, std::string& text) {
    try {
        text = value.ToText();
        return true;
    } catch (const std::invalid_argument&) {
        return false;
    }
}

bool TryReadInt64(std::string_view text, int64_t& result) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return false;
    }
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result, 10);
    return ec == std::errc() && end == text.data() + text.size();
}

std::optional<bool> BooleanWord(std::string_view text) {
    if (cimv2::EqualsNoCase(text, "true")) return true;
    if (cimv2::EqualsNoCase(text, "false")) return false;
    return std::nullopt;
}

// The items of a delimited list text: comma between items, double quote
// around an item that holds blanks or commas, "" for a quote inside one.
std::vector<std::string> SplitDelimited(std::string_view text) {
    std::string cleaned;
    cleaned.reserve(text.size());
    for (char c : text)
        if (c != '{' && c != '}') cleaned += c;

    std::vector<std::string> items;
    const size_t size = cleaned.size();
    auto at = [&](size_t pos) { return pos < size ? cleaned[pos] : '\0'; };
    auto isSkippable = [&](size_t pos) { return pos < size && cleaned[pos] != '\0' && IsBlankOrControl(cleaned[pos]); };

    size_t p = 0;
    while (isSkippable(p)) ++p;
    while (at(p) != '\0') {
        std::string item;
        if (at(p) == '"') {
            ++p;
            while (at(p) != '\0') {
                if (at(p) == '"') {
                    if (at(p + 1) != '"') break;
                    ++p;
                }
                item += cleaned[p++];
            }
            if (at(p) == '"') ++p;
        } else {
            size_t start = p;
            while (!IsBlankOrControl(at(p)) && at(p) != ',') ++p;
            item.assign(cleaned, start, p - start);
        }
        items.push_back(std::move(item));
        while (isSkippable(p)) ++p;
        if (at(p) == ',') {
            if (at(p + 1) == '\0') items.emplace_back();
            do {
                ++p;
            } while (isSkippable(p));
        }
    }
    return items;
}

bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool TryReadInt32Item(std::string_view text, int32_t& result) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && (text.front() == '$' || text.front() == 'x' || text.front() == 'X')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    for (char c : text)
        if (base == 10 ? !IsDigit(c) : !IsHexDigit(c)) return false;
    uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    if (magnitude > limit) return false;
    result = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
    return true;
}

// Days from 1 March of year 0 (proleptic Gregorian), after H. Hinnant's
// days_from_civil.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

const int64_t kDateZero = DaysFromCivil(1899, 12, 30);
const double kFirstDate = static_cast<double>(DaysFromCivil(1, 1, 1) - kDateZero);
const double kLastDate = static_cast<double>(DaysFromCivil(9999, 12, 31) - kDateZero);

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int ReadDatePart(std::string_view part) {
    int64_t value = 0;
    if (!TryReadInt64(part, value) || value < INT32_MIN || value > INT32_MAX)
        throw EConvertError("'" + std::string(part) + "' is not a valid integer value");
    return static_cast<int>(value);
}

std::string_view Part(std::string_view text, size_t first, size_t count) {
    if (first >= text.size()) return {};
    return text.substr(first, count);
}

}  // namespace

bool TryReadLocaleNumber(std::string_view text, double& result) {
    const std::lconv* conv = std::localeconv();
    const std::string decimal = conv && conv->decimal_point && *conv->decimal_point ? conv->decimal_point : ".";
    const std::string thousands = conv && conv->thousands_sep ? conv->thousands_sep : "";
    return TryReadNumber(text, decimal, thousands, result);
}

bool TryReadNumber(std::string_view text, std::string_view decimal, std::string_view thousands, double& result) {
    if (decimal.empty()) decimal = ".";
    text = TrimBlanks(text);
    std::string plain;
    size_t p = 0;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) plain += text[p++];
    size_t digits = 0;
    while (p < text.size()) {
        if (IsDigit(text[p])) {
            plain += text[p++];
            ++digits;
        } else if (!thousands.empty() && digits > 0 && text.compare(p, thousands.size(), thousands) == 0 &&
                   p + thousands.size() < text.size() && IsDigit(text[p + thousands.size()])) {
            p += thousands.size();
        } else {
            break;
        }
    }
    if (text.compare(p, decimal.size(), decimal) == 0) {
        p += decimal.size();
        plain += '.';
        while (p < text.size() && IsDigit(text[p])) {
            plain += text[p++];
            ++digits;
        }
    }
    if (digits == 0) return false;
    if (p < text.size() && (text[p] == 'e' || text[p] == 'E')) {
        plain += 'e';
        ++p;
        if (p < text.size() && (text[p] == '+' || text[p] == '-')) plain += text[p++];
        size_t expDigits = 0;
        while (p < text.size() && IsDigit(text[p])) {
            plain += text[p++];
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    if (p != text.size()) return false;
    // from_chars takes no leading '+' and ignores the locale, which is what we want here.
    const char* begin = plain.data() + (plain[0] == '+' ? 1 : 0);
    double value = 0;
    auto [end, ec] = std::from_chars(begin, plain.data() + plain.size(), value);
    if (ec != std::errc() || end != plain.data() + plain.size()) return false;
    result = value;
    return true;
}

int64_t WMIVarToInt64(const OleVariant& value, bool isNull) {
    if (isNull) return 0;
    std::string text;
    if (!TextOf(value, text)) return kFailedNumber;
    const std::string_view trimmed = TrimBlanks(text);
    int64_t integer = 0;
    if (TryReadInt64(trimmed, integer)) return integer;
    double number = 0;
    if (TryReadLocaleNumber(trimmed, number)) {
        // nearbyint follows the default rounding mode: a half goes to the even neighbour.
        const double rounded = std::nearbyint(number);
        if (rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0) return static_cast<int64_t>(rounded);
        return kFailedNumber;
    }
    if (auto word = BooleanWord(trimmed)) return *word ? 1 : 0;
    return kFailedNumber;
}

double WMIVarToFloat(const OleVariant& value, bool isNull) {
    if (isNull) return 0;
    std::string text;
    double number = 0;
    if (TextOf(value, text) && TryReadLocaleNumber(text, number)) return number;
    return static_cast<double>(kFailedNumber);
}

bool WMIVarToBool(const OleVariant& value, bool isNull) {
    if (isNull) return false;
    std::string text;
    if (TextOf(value, text)) {
        const std::string_view trimmed = TrimBlanks(text);
        if (auto word = BooleanWord(trimmed)) return *word;
        double number = 0;
        if (TryReadLocaleNumber(trimmed, number)) return number != 0;
    }
    throw EVariantTypeCastError(std::string("Could not convert variant of type (") + value.TypeName() +
                                ") into type (Boolean)");
}

std::string WMIVarToText(const OleVariant& value, bool isNull) {
    if (isNull) return {};
    std::string text;
    if (!TextOf(value, text))
        throw EVariantTypeCastError(std::string("Could not convert variant of type (") + value.TypeName() +
                                    ") into type (String)");
    return text;
}

void StrToArrString(std::string_view text, TArrString& target) {
    std::vector<std::string> items = SplitDelimited(text);
    if (items.empty()) return;
    target = std::move(items);
}

void StrToArrInteger(std::string_view text, TArrInteger& target) {
    std::vector<std::string> items = SplitDelimited(text);
    if (items.empty()) return;
    TArrInteger numbers;
    numbers.reserve(items.size());
    for (const auto& item : items) {
        int32_t n = 0;
        numbers.push_back(TryReadInt32Item(item, n) ? n : kFailedListInteger);
    }
    target = std::move(numbers);
}

std::string LastErrorText() {
    const int code = errno;
    std::string text = std::strerror(code);
    while (!text.empty() && (IsBlankOrControl(text.back()) || text.back() == '.')) text.pop_back();
    return text;
}

double EncodeDate(int year, int month, int day) {
    static const int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        throw EConvertError("Invalid argument to date encode");
    const int last = kDaysInMonth[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    if (day > last) throw EConvertError("Invalid argument to date encode");
    return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                               kDateZero);
}

void DecodeDate(double dateTime, int& year, int& month, int& day) {
    // Only years 1 to 9999 have a calendar date here.
    if (!(dateTime >= kFirstDate && dateTime < kLastDate + 1)) {
        year = month = day = 0;
        return;
    }
    // civil_from_days, the inverse of DaysFromCivil.
    const int64_t z = static_cast<int64_t>(std::floor(dateTime)) + kDateZero + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0));
}

double CimDateToDateTime(std::string_view text) {
    const int day = ReadDatePart(Part(text, 6, 2));
    const int month = ReadDatePart(Part(text, 4, 2));
    const int year = ReadDatePart(Part(text, 0, 4));
    return EncodeDate(year, month, day);
}

namespace {

// Seconds of the HHMMSS at text[at]; -1 when they are not six digits of a time.
int SecondsOfDay(std::string_view text, size_t at) {
    if (text.size() < at + 6) return -1;
    int parts[3] = {0, 0, 0};
    for (int n = 0; n < 3; ++n) {
        const char high = text[at + 2 * n], low = text[at + 2 * n + 1];
        if (high < '0' || high > '9' || low < '0' || low > '9') return -1;
        parts[n] = (high - '0') * 10 + (low - '0');
    }
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return -1;
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

}  // namespace

void WMIVarToDateTime(const OleVariant& value, bool isNull, double& field) {
    if (isNull) return;
    const std::string text = WMIVarToText(value, false);
    // CIM writes two other shapes in date-time properties: an interval
    // ("ddddddddHHMMSS.mmmmmm:000", a count of days) and a time of day
    // ("********HHMMSS.mmmmmm+UUU"). Neither is a calendar date; each is
    // kept as the days and fraction of a day it stands for.
    if (text.size() == 25 && text[21] == ':' && text.compare(0, 8, "********") != 0) {
        const int seconds = SecondsOfDay(text, 8);
        int64_t days = 0;
        bool digits = true;
        for (size_t n = 0; n < 8; ++n) {
            digits = digits && text[n] >= '0' && text[n] <= '9';
            days = days * 10 + (text[n] - '0');
        }
        if (digits && seconds >= 0) {
            field = static_cast<double>(days) + seconds / 86400.0;
            return;
        }
    }
    if (text.compare(0, 8, "********") == 0) {
        const int seconds = SecondsOfDay(text, 8);
        if (seconds >= 0) {
            field = seconds / 86400.0;
            return;
        }
    }
    field = CimDateToDateTime(text);
}

}  // namespace wmi
