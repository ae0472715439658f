#include "cimv2/core/ObjectText.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cimv2/core/TextFields.h"
#include "cimv2/core/WbemError.h"

namespace cimv2 {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            // Line ends inside a value would split the one-line-per-property form.
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned char>(c));
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void AppendScalar(std::string& out, const Value& v, CimType type) {
    switch (v.kind) {
        case Value::Kind::Null:
            out += "NULL";
            return;
        case Value::Kind::Text:
            AppendQuoted(out, v.text);
            return;
        case Value::Kind::Bool:
            out += v.b ? "TRUE" : "FALSE";
            return;
        case Value::Kind::Real:
            out += FormatReal(v.r);
            return;
        case Value::Kind::Int:
        case Value::Kind::UInt: {
            std::string digits = v.kind == Value::Kind::Int ? std::to_string(v.i) : std::to_string(v.u);
            if (TravelsAsText(type))
                AppendQuoted(out, digits);
            else
                out += digits;
            return;
        }
        case Value::Kind::Array:
            out += "{}";
            return;
    }
}

[[noreturn]] void Malformed(const std::string& what) {
    throw WbemError(wbem::InvalidParameter, "Malformed object text: " + what);
}

class ValueReader {
public:
    ValueReader(std::string_view text, CimType type) : FText(text), FType(type) {}

    Value ReadValue(bool array) {
        SkipBlanks();
        if (array) {
            Expect('{');
            std::vector<Value> items;
            SkipBlanks();
            if (Peek() == '}') {
                ++FPos;
                return Value::Array(std::move(items));
            }
            for (;;) {
                items.push_back(ReadScalar());
                SkipBlanks();
                if (Peek() == ',') {
                    ++FPos;
                    continue;
                }
                Expect('}');
                return Value::Array(std::move(items));
            }
        }
        return ReadScalar();
    }
    bool AtEnd() {
        SkipBlanks();
        return FPos == FText.size();
    }

private:
    char Peek() const { return FPos < FText.size() ? FText[FPos] : '\0'; }
    void SkipBlanks() {
        while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\t')) ++FPos;
    }
    void Expect(char c) {
        SkipBlanks();
        if (Peek() != c) Malformed(std::string("expected '") + c + "'");
        ++FPos;
    }

    std::string ReadQuoted() {
        SkipBlanks();
        std::string out;
        if (const char* error = ReadMofString(FText, FPos, out)) Malformed(error);
        return out;
    }

    std::string ReadBare() {
        size_t start = FPos;
        while (FPos < FText.size() && FText[FPos] != ',' && FText[FPos] != '}' && FText[FPos] != ' ' &&
               FText[FPos] != '\t')
            ++FPos;
        return std::string(FText.substr(start, FPos - start));
    }

    Value ReadScalar() {
        SkipBlanks();
        bool quoted = Peek() == '"';
        std::string text = quoted ? ReadQuoted() : ReadBare();
        if (FType == CimType::String || FType == CimType::DateTime || FType == CimType::Reference) {
            if (!quoted) Malformed("unquoted string");
            return Value::Text(std::move(text));
        }
        if (quoted && !TravelsAsText(FType)) Malformed("quoted " + std::string(CimTypeName(FType)));
        if (FType == CimType::Boolean) {
            if (text == "TRUE") return Value::Bool(true);
            if (text == "FALSE") return Value::Bool(false);
            Malformed("bad boolean '" + text + "'");
        }
        if (text.empty()) Malformed("missing value");
        char* end = nullptr;
        errno = 0;
        if (FType == CimType::Real32 || FType == CimType::Real64) {
            double d = 0;
            if (!ParseReal(text, d)) Malformed("bad real '" + text + "'");
            return Value::Real(d);
        }
        if (IsSignedInteger(FType)) {
            long long v = std::strtoll(text.c_str(), &end, 10);
            if (*end != '\0' || errno != 0) Malformed("bad integer '" + text + "'");
            return Value::Int(v);
        }
        if (IsUnsignedInteger(FType)) {
            if (text[0] == '-') Malformed("negative unsigned '" + text + "'");
            unsigned long long v = std::strtoull(text.c_str(), &end, 10);
            if (*end != '\0' || errno != 0) Malformed("bad integer '" + text + "'");
            return Value::UInt(v);
        }
        Malformed("unsupported type");
    }

    std::string_view FText;
    CimType FType;
    size_t FPos = 0;
};

}  // namespace

std::string WriteMofValue(const Value& value, CimType type) {
    std::string out;
    if (value.kind == Value::Kind::Array) {
        out += '{';
        for (size_t n = 0; n < value.items.size(); ++n) {
            if (n) out += ", ";
            AppendScalar(out, value.items[n], type);
        }
        out += '}';
    } else {
        AppendScalar(out, value, type);
    }
    return out;
}

const char* ReadMofString(std::string_view text, size_t& pos, std::string& out) {
    if (pos >= text.size() || text[pos] != '"') return "expected '\"'";
    out.clear();
    for (size_t at = pos + 1; at < text.size();) {
        const char c = text[at++];
        if (c == '"') {
            pos = at;
            return nullptr;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (at >= text.size()) break;
        const char e = text[at++];
        switch (e) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                const int high = at + 2 <= text.size() ? HexValue(text[at]) : -1;
                const int low = high >= 0 ? HexValue(text[at + 1]) : -1;
                if (low < 0) return "bad \\x escape";
                out += static_cast<char>(high * 16 + low);
                at += 2;
                break;
            }
            default:
                out += e;
        }
    }
    return "unterminated string";
}

std::string WriteObjectText(const Instance& instance) {
    std::string out = "instance of " + instance.schema->Name() + "\n{\n";
    const auto& props = instance.schema->Properties();
    for (size_t n = 0; n < props.size(); ++n) {
        const Value& v = instance.values[n];
        if (v.IsNull()) continue;
        out += '\t';
        out += props[n].name;
        out += " = ";
        out += WriteMofValue(v, props[n].type);
        out += ";\n";
    }
    out += "};\n";
    return out;
}

Instance ReadObjectText(std::string_view text, const ClassSchema& schema) {
    Instance inst(schema);
    std::vector<bool> seen(schema.Properties().size());
    size_t pos = 0;
    int stage = 0;  // 0 header, 1 open brace, 2 body, 3 closed
    while (pos <= text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::string_view line = Trim(text.substr(pos, eol - pos));
        pos = eol + 1;
        if (line.empty()) continue;
        if (stage == 0) {
            constexpr std::string_view prefix = "instance of ";
            if (line.substr(0, prefix.size()) != prefix) Malformed("missing 'instance of'");
            if (!EqualsNoCase(Trim(line.substr(prefix.size())), schema.Name())) Malformed("class name differs");
            stage = 1;
        } else if (stage == 1) {
            if (line != "{") Malformed("missing '{'");
            stage = 2;
        } else if (stage == 2) {
            if (line == "};") {
                stage = 3;
                continue;
            }
            size_t eq = line.find(" = ");
            if (eq == std::string_view::npos || line.back() != ';') Malformed("bad property line");
            std::string_view name = line.substr(0, eq);
            int index = schema.IndexOf(name);
            if (index < 0) Malformed("unknown property '" + std::string(name) + "'");
            if (seen[static_cast<size_t>(index)]) Malformed("property repeated");
            seen[static_cast<size_t>(index)] = true;
            const PropertyDef& def = schema.Properties()[static_cast<size_t>(index)];
            ValueReader reader(line.substr(eq + 3, line.size() - eq - 4), def.type);
            Value v = reader.ReadValue(def.IsArray());
            if (!reader.AtEnd()) Malformed("trailing text after " + def.name);
            inst.values[static_cast<size_t>(index)] = std::move(v);
        } else {
            Malformed("text after '};'");
        }
    }
    if (stage != 3) Malformed("incomplete object");
    return inst;
}

}  // namespace cimv2
