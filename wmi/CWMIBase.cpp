#include "wmi/CWMIBase.h"

#include <optional>

#include "cimv2/core/ObjectText.h"
#include "cimv2/core/Wql.h"
#include "wmi/Notice.h"
#include "wmi/UProcedures.h"

namespace wmi {

const char* const kErrNotConnected = "Componente no conectado...  (crear tipo específico)";
const char* const kErrNotActive = "Componente no activado...  (crear tipo específico)";
const char* const kErrIndexOutOfBounds = "Índice fuera de límites...  (crear tipo específico)";
const char* const kWarnNotActive = "El componente no está activo!!!!!";

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
    return text;
}

bool IsEmptyText(const OleVariant& value) {
    return value.IsEmpty() || value.IsNull() || (value.GetType() == OleVariant::Type::Text && value.AsText().empty());
}

// A key name is pasted into the query, so it must be a plain property name.
bool IsPropertyName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

SWbemObjectPtr ObjectOf(const OleVariant& element) { return element.IsObject() ? element.AsObject() : nullptr; }

// The text after "name = " on the object's line for name, trimmed.
std::optional<std::string_view> RawPropertyText(std::string_view name, std::string_view objectText) {
    size_t start = 0;
    while (start <= objectText.size()) {
        size_t end = objectText.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = objectText.size();
        const std::string_view line = Trim(objectText.substr(start, end - start));
        start = end + 1;
        if (line.size() < name.size() + 3 || line.substr(0, name.size()) != name ||
            line.substr(name.size(), 3) != " = ")
            continue;
        return Trim(line.substr(name.size() + 3));
    }
    return std::nullopt;
}

// An array's items in the list form the conversions read: each text in
// double quotes with "" for a quote inside it, numbers and words bare.
std::optional<std::string> DecodeMofArray(std::string_view raw) {
    std::string out = "{";
    size_t pos = 1;
    auto skipBlanks = [&] {
        while (pos < raw.size() && (raw[pos] == ' ' || raw[pos] == '\t')) ++pos;
    };
    skipBlanks();
    if (pos < raw.size() && raw[pos] == '}')
        return raw.substr(pos + 1) == ";" ? std::optional<std::string>("{}") : std::nullopt;
    for (bool first = true;; first = false) {
        skipBlanks();
        if (!first) out += ", ";
        if (pos < raw.size() && raw[pos] == '"') {
            std::string item;
            if (cimv2::ReadMofString(raw, pos, item)) return std::nullopt;
            out += '"';
            for (char c : item) {
                if (c == '"') out += '"';
                out += c;
            }
            out += '"';
        } else {
            const size_t begin = pos;
            while (pos < raw.size() && raw[pos] != ',' && raw[pos] != '}' && raw[pos] != ' ') ++pos;
            if (pos == begin) return std::nullopt;
            out += raw.substr(begin, pos - begin);
        }
        skipBlanks();
        if (pos < raw.size() && raw[pos] == ',') {
            ++pos;
            continue;
        }
        if (raw.substr(pos) != "};") return std::nullopt;
        return out + "}";
    }
}

// A value as the provider writes it (a quoted string with escapes, an
// array, a bare number or word, each ending in ";") read back as its text;
// nullopt for anything else.
std::optional<std::string> DecodeMofValue(std::string_view raw) {
    if (raw.empty() || raw.back() != ';') return std::nullopt;
    if (raw.front() == '{') return DecodeMofArray(raw);
    if (raw.front() == '"') {
        size_t pos = 0;
        std::string text;
        if (cimv2::ReadMofString(raw, pos, text) || raw.substr(pos) != ";") return std::nullopt;
        return text;
    }
    if (raw.size() == 1) return std::nullopt;
    return std::string(raw.substr(0, raw.size() - 1));
}

}  // namespace

TWMIBase::TWMIBase() = default;
TWMIBase::~TWMIBase() = default;

void TWMIBase::ClearProps() { FAllProperties.clear(); }

void TWMIBase::FillProps(int32_t) { ClearProps(); }

void TWMIBase::Connect() {
    try {
        SWbemLocator locator;
        aServices = locator.ConnectServer(FHost, GetWMINamespace(), "", "", "", "", 0, nullptr);
        FConnected = true;
    } catch (const EOleException& e) {
        FConnected = false;
        // The failure's own message and code say what went wrong; errno at
        // this point usually belongs to some unrelated call.
        if (*e.what() != '\0') throw;
        throw EOleException(LastErrorText(), e.ErrorCode());
    } catch (const std::exception& e) {
        FConnected = false;
        if (*e.what() != '\0') throw EWMIBaseError(e.what());
        throw EWMIBaseError(LastErrorText());
    }
}

void TWMIBase::GetAllObjectsText(int32_t index, const SWbemServicesPtr& services, const std::string& className,
                                 TArrString& list) {
    SWbemObjectSetPtr set = services->ExecQuery("SELECT * FROM " + className, "WQL", 0, nullptr);
    std::unique_ptr<IEnumVARIANT> items = set->_NewEnum();
    OleVariant element;
    uint32_t fetched = 0;
    int32_t position = 0;
    while (items->Next(1, &element, &fetched) == S_OK_ && fetched == 1) {
        SWbemObjectPtr object = ObjectOf(element);
        if (!object) continue;
        ++position;
        if (index > 0 && position != index) continue;
        list.push_back(object->GetObjectText_(0));
        if (index > 0) break;
    }
}

void TWMIBase::SetActive(bool value) {
    if (!value) {
        FActive = false;
        FObjectsCount = 0;
        FObjectIndex = 0;
        FAllProperties.clear();
        ClearProps();
        return;
    }
    FActive = true;
    FAllProperties.clear();
    Connect();
    GetAllObjectsText(0, aServices, GetWMIClass(), FAllProperties);
    FObjectsCount = static_cast<int32_t>(FAllProperties.size());
    if (FObjectsCount > 0) {
        FObjectIndex = 1;
        FillProps(1);
    }
}

void TWMIBase::SetObjectIndex(int32_t value) {
    if (value == FObjectIndex) return;
    FObjectIndex = value;
    if (!FConnected) {
        FObjectIndex = 0;
        throw EWMIBaseError(kErrNotConnected);
    }
    if (!FActive) {
        FObjectIndex = 0;
        throw EWMIBaseError(kErrNotActive);
    }
    if (value < 1 || value > FObjectsCount) {
        FObjectIndex = 0;
        throw EWMIBaseError(kErrIndexOutOfBounds);
    }
    FillProps(value);
}

std::string TWMIBase::GetPropertyFromText(std::string_view name, std::string_view objectText) {
    const std::optional<std::string_view> raw = RawPropertyText(name, objectText);
    if (!raw) return {};
    std::string_view text = *raw;
    if (!text.empty() && text.front() == '"') text.remove_prefix(1);
    // Every `";` pair goes, also one that a removal brings together, as if
    // the first pair were removed until none is left: a pair closes like a
    // bracket, so one pass with the text written so far as the stack does
    // it, and a long value of such pairs costs its length, not its square.
    std::string value;
    value.reserve(text.size());
    for (char c : text) {
        if (c == ';' && !value.empty() && value.back() == '"')
            value.pop_back();
        else
            value += c;
    }
    if (value.size() > 1 && value.back() == ';') value.pop_back();
    return value;
}

std::string TWMIBase::DecodedPropertyText(std::string_view name, std::string_view objectText) {
    const std::optional<std::string_view> raw = RawPropertyText(name, objectText);
    if (!raw) return {};
    if (std::optional<std::string> decoded = DecodeMofValue(*raw)) return std::move(*decoded);
    // Not as the provider writes it: read it the plain way.
    return GetPropertyFromText(name, objectText);
}

void TWMIBase::GetWMIPropertyValue(const std::string& name, OleVariant& value, bool& isNull) const {
    if (FObjectIndex <= 0) return;
    if (FAllProperties.empty() || static_cast<size_t>(FObjectIndex) > FAllProperties.size()) {
        value = OleVariant::Text("");
        isNull = true;
        return;
    }
    std::string text = DecodedPropertyText(name, FAllProperties[static_cast<size_t>(FObjectIndex) - 1]);
    isNull = text.empty();
    value = OleVariant::Text(std::move(text));
}

std::string TWMIBase::ComponentCaption() {
    try {
        OleVariant value;
        bool isNull = true;
        GetWMIPropertyValue("Caption", value, isNull);
        FComponentCaption = WMIVarToText(value, isNull);
    } catch (const std::exception&) {
        FComponentCaption.clear();
    }
    return FComponentCaption;
}

SWbemObjectPtr TWMIBase::GetWMIObject(const SWbemServicesPtr& services, const std::string& keyName,
                                      const OleVariant& keyValue, const std::string& className) {
    if (!services) return nullptr;
    const bool firstObject = keyName.empty() && IsEmptyText(keyValue);
    std::string query = "SELECT * FROM " + className;
    if (!firstObject) {
        if (!IsPropertyName(keyName))
            throw EOleException("Invalid query: \"" + keyName + "\" is no property name", cimv2::wbem::InvalidQuery);
        std::string keyText;
        try {
            keyText = keyValue.ToText();
        } catch (const std::invalid_argument&) {
            throw EOleException("Invalid parameter: a key value must be a single value", cimv2::wbem::InvalidParameter);
        }
        query += " WHERE " + keyName + "=" + cimv2::QuoteWqlString(keyText);
    }
    SWbemObjectSetPtr set = services->ExecQuery(query, "WQL", 0, nullptr);
    std::unique_ptr<IEnumVARIANT> items = set->_NewEnum();
    SWbemObjectPtr target;
    OleVariant element;
    uint32_t fetched = 0;
    while (items->Next(1, &element, &fetched) == S_OK_ && fetched == 1) {
        if (SWbemObjectPtr object = ObjectOf(element)) {
            target = object;
            if (firstObject) break;
        }
    }
    return target;
}

void TWMIBase::ExecWMIMethod(const std::string& instanceProp, const OleVariant& instanceValue,
                             const std::string& methodName, const TArrString& paramNames, TArrVariant& paramValues,
                             const TArrByte& paramDirections, const TArrInteger& paramTypes, OleVariant& result) {
    if (!FActive) {
        ShowNotice(NoticeKind::Warning, kWarnNotActive);
        return;
    }
    const size_t count = paramNames.size();
    if (paramValues.size() < count || paramDirections.size() < count || paramTypes.size() < count)
        throw EOleException("Invalid parameter: each parameter name needs a value, a direction and a type",
                            cimv2::wbem::InvalidParameter);

    SWbemObjectPtr target = GetWMIObject(aServices, instanceProp, instanceValue, GetWMIClass());
    if (!target) return;

    SWbemMethod method = target->Methods_().Item(methodName, 0);
    SWbemObjectPtr inDefinition = method.InParameters();
    SWbemObjectPtr inParameters;
    if (inDefinition) {
        inParameters = inDefinition->SpawnInstance_(0);
        for (size_t i = 0; i < count; ++i) {
            if (paramDirections[i] != 0) continue;
            SWbemProperty& parameter = inParameters->Properties_().Add(paramNames[i], paramTypes[i], false, 0);
            parameter.SetValue(paramTypes[i] == kCimObject ? OleVariant::Null() : paramValues[i]);
        }
    }
    SWbemObjectPtr out = target->ExecMethod_(methodName, inParameters, 0, nullptr);
    // A method without an out-parameter object leaves the result untouched.
    if (!out) return;
    result = out->Properties_().Item("ReturnValue", 0).Value();
    for (size_t i = 0; i < count; ++i)
        if (paramDirections[i] == 1) paramValues[i] = out->Properties_().Item(paramNames[i], 0).Value();
}

}  // namespace wmi
