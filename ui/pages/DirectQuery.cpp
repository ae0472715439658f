#include "ui/pages/DirectQuery.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "cimv2/core/Schema.h"
#include "cimv2/core/Value.h"
#include "cimv2/core/WbemError.h"
#include "wmi/WbemScripting.h"

namespace ui {

namespace {

std::string_view TrimControls(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Signed 64-bit integer in decimal or "$"/"x"/"0x" hexadecimal; nullopt otherwise.
std::optional<int64_t> ParseInt64(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (!text.empty() && (text.front() == '$' || text.front() == 'x' || text.front() == 'X')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    // Magnitude up to 2^63, the largest a negative number may have.
    constexpr uint64_t kLimit = uint64_t{1} << 63;
    uint64_t magnitude = 0;
    for (char c : text) {
        int digit = base == 16 ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0) return std::nullopt;
        if (magnitude > (kLimit - static_cast<uint64_t>(digit)) / base) return std::nullopt;
        magnitude = magnitude * base + static_cast<uint64_t>(digit);
    }
    if (negative) return magnitude == kLimit ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(magnitude);
    if (magnitude == kLimit) return std::nullopt;
    return static_cast<int64_t>(magnitude);
}

[[noreturn]] void ConversionFailure(const wmi::OleVariant& value, const char* target) {
    throw EVariantError(std::string("Could not convert variant of type (") + value.TypeName() + ") into type (" +
                        target + ")");
}

bool IsList(const wmi::OleVariant& value) { return value.IsArray() || value.IsObject(); }

int64_t StrictInteger(const wmi::OleVariant& value) {
    using T = wmi::OleVariant::Type;
    switch (value.GetType()) {
        case T::Empty:
            return 0;
        case T::Int:
            return value.AsInt();
        case T::UInt:
            if (value.AsUInt() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) break;
            return static_cast<int64_t>(value.AsUInt());
        case T::Real: {
            double r = std::nearbyint(value.AsReal());
            if (!(r >= -9.2233720368547758e18 && r < 9.2233720368547758e18)) break;
            return static_cast<int64_t>(r);
        }
        case T::Text: {
            std::string_view text = TrimControls(value.AsText());
            if (auto whole = ParseInt64(text)) return *whole;
            // A number with a fraction rounds to the nearest whole number.
            // Read in the C form: the machine's answer does not follow the user's locale.
            double r = 0;
            if (!cimv2::ParseReal(text, r) || !std::isfinite(r)) break;
            r = std::nearbyint(r);
            if (!(r >= -9.2233720368547758e18 && r < 9.2233720368547758e18)) break;
            return static_cast<int64_t>(r);
        }
        case T::Null:
        case T::Bool:
        case T::Array:
        case T::Object:
            break;
    }
    ConversionFailure(value, "Int64");
}

bool StrictBoolean(const wmi::OleVariant& value) {
    using T = wmi::OleVariant::Type;
    switch (value.GetType()) {
        case T::Empty:
            return false;
        case T::Bool:
            return value.AsBool();
        case T::Int:
            return value.AsInt() != 0;
        case T::UInt:
            return value.AsUInt() != 0;
        case T::Real:
            return value.AsReal() != 0;
        case T::Text: {
            std::string_view text = TrimControls(value.AsText());
            if (cimv2::EqualsNoCase(text, "True")) return true;
            if (cimv2::EqualsNoCase(text, "False")) return false;
            if (auto n = ParseInt64(text)) return *n != 0;
            break;
        }
        case T::Null:
        case T::Array:
        case T::Object:
            break;
    }
    ConversionFailure(value, "Boolean");
}

// What the platform's message table says for the codes this service raises.
std::string SystemMessageText(uint32_t code) {
    struct Entry {
        uint32_t code;
        const char* text;
    };
    static constexpr Entry kMessages[] = {
        {cimv2::wbem::Failed, "Generic failure"},
        {cimv2::wbem::NotFound, "Not found"},
        {cimv2::wbem::AccessDenied, "Access denied"},
        {cimv2::wbem::ProviderFailure, "Provider failure"},
        {cimv2::wbem::InvalidParameter, "Invalid parameter"},
        {cimv2::wbem::InvalidNamespace, "Invalid namespace"},
        {cimv2::wbem::InvalidClass, "Invalid class"},
        {cimv2::wbem::InvalidOperation, "Invalid operation"},
        {cimv2::wbem::InvalidQuery, "Invalid query"},
        {cimv2::wbem::InvalidQueryType, "Invalid query language"},
        {cimv2::wbem::InvalidMethod, "Invalid method"},
        {cimv2::wbem::RpcServerUnavailable, "The RPC server is unavailable."},
        {cimv2::wbem::ConnectAccessDenied, "Access is denied."},
    };
    for (const auto& m : kMessages)
        if (m.code == code) return m.text;
    return {};
}

std::string TrimDescription(std::string_view text) {
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= 32 || text.back() == '.'))
        text.remove_suffix(1);
    return std::string(text);
}

// A value no rule can convert (a null under a strict rule, a list) is
// shown as empty text: ending the fill there would hide every object after
// it without a word.
std::string RowValueText(const wmi::SWbemObject& object, const RowEntry& entry) {
    try {
        return ApplyValueRule(object.Get(entry.property), entry.rule);
    } catch (const EVariantError&) {
        return {};
    }
}

}  // namespace

int64_t VariantToInt(const wmi::OleVariant& value) {
    if (IsList(value)) return 0;
    return ParseInt64(TrimControls(value.ToText())).value_or(0);
}

std::string ApplyValueRule(const wmi::OleVariant& value, ValueRule rule) {
    if (IsList(value)) ConversionFailure(value, rule == ValueRule::StrictBoolean ? "Boolean" : "String");
    switch (rule) {
        case ValueRule::Text:
            return value.ToText();
        case ValueRule::Integer:
            return std::to_string(VariantToInt(value));
        case ValueRule::StrictText:
            if (value.IsNull()) ConversionFailure(value, "String");
            return value.ToText();
        case ValueRule::StrictInteger:
            return std::to_string(StrictInteger(value));
        case ValueRule::StrictBoolean:
            return StrictBoolean(value) ? "True" : "False";
    }
    ConversionFailure(value, "String");
}

void RunDirectQuery(PageList& list, const std::string& host, const std::string& wmiClass,
                    std::span<const RowEntry> rows) {
    list.Clear();
    const std::string server = host;
    wmi::SWbemLocator locator;
    wmi::SWbemServicesPtr services = locator.ConnectServer(server, "root\\CIMV2", "", "");
    wmi::SWbemObjectSetPtr objectSet =
        services->ExecQuery("SELECT * FROM " + wmiClass, "WQL", wmi::wbemFlagForwardOnly);
    std::unique_ptr<wmi::IEnumVARIANT> enumerator = objectSet->_NewEnum();
    if (!enumerator) throw std::runtime_error("The object set has no enumerator");
    wmi::OleVariant item;
    uint32_t fetched = 0;
    while (enumerator->Next(1, &item, &fetched) == wmi::S_OK_) {
        const wmi::SWbemObjectPtr& object = item.AsObject();
        if (!object) throw std::runtime_error("The object set returned something that is not an object");
        for (const RowEntry& entry : rows) {
            size_t row = list.AddRow(entry.label);
            list.SetValue(row, RowValueText(*object, entry));
        }
    }
    list.RequestFitColumn();
}

std::string FormatOleExceptionText(const std::string& description, uint32_t code) {
    std::string message = TrimDescription(description);
    if (message.empty()) message = TrimDescription(SystemMessageText(code));
    char buf[32];
    if (message.empty()) {
        std::snprintf(buf, sizeof buf, "OLE error %.8X", code);
        message = buf;
    }
    std::snprintf(buf, sizeof buf, "%X", code);
    return "EOleException " + message + " " + buf;
}

void FillPage(const PageInfo& page, PageList& list, const std::string& host) {
    const PageFill& fill = page.fill;
    if (fill.routine) {
        fill.routine(list, host);
    } else if (fill.component) {
        fill.component(list, host, fill.recordRows, fill.objects);
    } else if (!fill.queryRows.empty()) {
        RunDirectQuery(list, host, page.wmiClass, fill.queryRows);
    }
}

std::optional<std::string> RunPageFill(const PageInfo& page, PageList& list, const std::string& host) {
    if (!page.fill) return std::nullopt;
    if (page.guard == Guard::None) {
        FillPage(page, list, host);
        return std::nullopt;
    }
    try {
        FillPage(page, list, host);
    } catch (const wmi::EOleException& e) {
        return FormatOleExceptionText(e.what(), e.ErrorCode());
    } catch (...) {
        // Guarded pages drop every other failure silently.
    }
    return std::nullopt;
}

}  // namespace ui
