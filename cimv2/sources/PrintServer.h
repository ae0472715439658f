#pragma once
// The print server as the printer classes see it: the IPP attributes of
// every queue and every job, as the server answers them. The real server is
// CUPS reached through libcups (CupsPrintServer.h); tests serve attributes of
// their own. No class reads CUPS's files.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2 {

// One value of an IPP attribute, by the kind the server gave it.
struct IppValue {
    enum class Kind { Text, Integer, Boolean, Range, Resolution, Other };
    Kind kind = Kind::Other;
    std::string text;        // texts, names, keywords, URIs, MIME types, languages
    int64_t number = 0;      // integers and enums; a range's lower bound; a resolution's cross-feed
    int64_t upper = 0;       // a range's upper bound; a resolution's feed direction
    bool dotsPerCm = false;  // a resolution given per centimetre

    static IppValue Text(std::string t) { return {Kind::Text, std::move(t)}; }
    static IppValue Integer(int64_t n) { return {Kind::Integer, {}, n}; }
    static IppValue Boolean(bool b) { return {Kind::Boolean, {}, b ? 1 : 0}; }
    static IppValue Range(int64_t low, int64_t high) { return {Kind::Range, {}, low, high}; }
    static IppValue Resolution(int64_t x, int64_t y, bool perCm = false) { return {Kind::Resolution, {}, x, y, perCm}; }
};

// The attributes of one printer or job: name to values, in the server's
// order. A printer has some thirty attributes and a job fifteen, so a list
// searched in order is quicker to fill and to read than a tree of names.
class IppAttributes {
public:
    void Add(std::string_view name, IppValue value);
    const std::vector<IppValue>* Find(std::string_view name) const;

    // The first value when it is of the kind asked for; nothing otherwise
    // (absent, "no-value", another kind).
    std::optional<std::string> Text(std::string_view name) const;
    std::optional<int64_t> Integer(std::string_view name) const;
    std::optional<bool> Boolean(std::string_view name) const;
    const IppValue* First(std::string_view name, IppValue::Kind kind) const;
    // Every text value, in order.
    std::vector<std::string> Texts(std::string_view name) const;

private:
    std::vector<std::pair<std::string, std::vector<IppValue>>> FAttributes;
};

struct PrinterList {
    std::vector<IppAttributes> printers;
    // The queue that jobs go to when the user names none (the user's own
    // choice where libcups has one, else the server's default).
    std::optional<std::string> defaultPrinter;
};

class PrintServer {
public:
    virtual ~PrintServer() = default;
    // Nothing when no print server runs on this computer. A server that is
    // configured but cannot be reached, or that refuses the request, raises
    // WbemError(ProviderFailure) with the connection's error or the
    // server's own status message.
    virtual std::optional<PrinterList> Printers() = 0;
    // Every job the server keeps, completed ones included, in its order.
    virtual std::optional<std::vector<IppAttributes>> Jobs() = 0;
};

}  // namespace cimv2
