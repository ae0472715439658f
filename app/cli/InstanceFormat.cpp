#include "app/cli/InstanceFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "app/cli/JsonText.h"
#include "cimv2/core/ObjectText.h"
#include "cimv2/core/SafeText.h"

namespace cli {

namespace {

// CSV and JSON are for parsers: always valid UTF-8, ill-formed bytes from
// a machine replaced by U+FFFD.
std::string CsvField(const std::string& raw) {
    const std::string text = cimv2::ValidUtf8(raw);
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

void JsonValue(Output& out, const cimv2::Value& v) {
    using K = cimv2::Value::Kind;
    switch (v.kind) {
        case K::Null:
            out << "null";
            return;
        case K::Text:
            JsonString(out, v.text);
            return;
        case K::Int:
            out << v.i;
            return;
        case K::UInt:
            out << v.u;
            return;
        case K::Real: {
            if (!std::isfinite(v.r)) {
                out << "null";
                return;
            }
            out << cimv2::FormatReal(v.r);
            return;
        }
        case K::Bool:
            out << (v.b ? "true" : "false");
            return;
        case K::Array:
            out << '[';
            for (size_t n = 0; n < v.items.size(); ++n) {
                if (n) out << ',';
                JsonValue(out, v.items[n]);
            }
            out << ']';
            return;
    }
}

std::string TableText(const cimv2::Value& v) {
    if (v.kind == cimv2::Value::Kind::Array) return "{" + v.ToText() + "}";
    return v.ToText();
}

// A value as the table shows it: for a terminal, with control and format
// characters escaped and backslashes doubled. Most values are numbers or
// plain printable text, which need neither a copy nor escaping.
void AppendTableText(std::string& out, const cimv2::Value& v) {
    using K = cimv2::Value::Kind;
    char digits[24];
    switch (v.kind) {
        case K::Null:
            return;
        case K::UInt:
            out.append(digits, std::to_chars(digits, digits + sizeof digits, v.u).ptr);
            return;
        case K::Int:
            out.append(digits, std::to_chars(digits, digits + sizeof digits, v.i).ptr);
            return;
        case K::Text:
            if (std::all_of(v.text.begin(), v.text.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '\\'; })) {
                out += v.text;
                return;
            }
            break;
        default:
            break;
    }
    out += cimv2::EscapeForTerminal(TableText(v));
}

// One object per instance, one line each.
void JsonArray(Output& out, const cimv2::QueryResult& result) {
    const auto& props = result.schema->Properties();
    out << '[';
    for (size_t i = 0; i < result.instances.size(); ++i) {
        out << (i ? ",\n " : "\n ") << '{';
        for (size_t n = 0; n < result.selected.size(); ++n) {
            auto index = static_cast<size_t>(result.selected[n]);
            if (n) out << ", ";
            JsonString(out, props[index].name);
            out << ": ";
            JsonValue(out, result.instances[i].values[index]);
        }
        out << '}';
    }
    out << (result.instances.empty() ? "]" : "\n]");
}

}  // namespace

bool ParseFormat(const std::string& name, Format& format) {
    if (name == "table")
        format = Format::Table;
    else if (name == "csv")
        format = Format::Csv;
    else if (name == "mof")
        format = Format::Mof;
    else if (name == "json")
        format = Format::Json;
    else
        return false;
    return true;
}

void WriteResult(Output& out, const cimv2::QueryResult& result, Format format) {
    const auto& props = result.schema->Properties();
    switch (format) {
        case Format::Mof:
            // The object text as it is, for a file or a program; a terminal
            // gets its control, format and ill-formed bytes escaped.
            for (const auto& inst : result.instances) {
                const std::string text = cimv2::WriteObjectText(inst);
                out << (out.Terminal() ? cimv2::EscapeLayoutForTerminal(text) : text) << '\n';
            }
            return;
        case Format::Csv:
            for (size_t n = 0; n < result.selected.size(); ++n)
                out << (n ? "," : "") << CsvField(props[static_cast<size_t>(result.selected[n])].name);
            out << '\n';
            for (const auto& inst : result.instances) {
                for (size_t n = 0; n < result.selected.size(); ++n)
                    out << (n ? "," : "") << CsvField(TableText(inst.values[static_cast<size_t>(result.selected[n])]));
                out << '\n';
            }
            return;
        case Format::Json:
            JsonArray(out, result);
            out << '\n';
            return;
        case Format::Table: {
            // One block per instance: property names padded to one column,
            // values with control characters escaped for the terminal. A
            // block is put together first and written at once.
            size_t width = 0;
            for (int index : result.selected) width = std::max(width, props[static_cast<size_t>(index)].name.size());
            std::string block;
            for (size_t i = 0; i < result.instances.size(); ++i) {
                block.clear();
                if (i) block += '\n';
                for (int index : result.selected) {
                    const std::string& name = props[static_cast<size_t>(index)].name;
                    block += name;
                    block.append(width - name.size() + 2, ' ');
                    AppendTableText(block, result.instances[i].values[static_cast<size_t>(index)]);
                    block += '\n';
                }
                out << block;
            }
            return;
        }
    }
}

void WriteJsonResults(Output& out, const std::vector<cimv2::QueryResult>& results) {
    out << '[';
    for (size_t n = 0; n < results.size(); ++n) {
        out << (n ? ",\n" : "\n");
        JsonArray(out, results[n]);
    }
    out << (results.empty() ? "]\n" : "\n]\n");
}

}  // namespace cli
