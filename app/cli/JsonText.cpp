#include "app/cli/JsonText.h"

#include <cstdio>
#include <string>

#include "cimv2/core/SafeText.h"

namespace cli {

void JsonString(Output& out, std::string_view raw) {
    const std::string text = cimv2::ValidUtf8(raw);
    out << '"';
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out << "\\\"";
                break;
            case '\\':
                out << "\\\\";
                break;
            case '\n':
                out << "\\n";
                break;
            case '\r':
                out << "\\r";
                break;
            case '\t':
                out << "\\t";
                break;
            default:
                if (u < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", u);
                    out << buf;
                } else {
                    out << c;
                }
        }
    }
    out << '"';
}

}  // namespace cli
