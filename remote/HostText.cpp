#include "remote/HostText.h"

#include <cctype>

#include "cimv2/core/SafeText.h"
#include "cimv2/core/WbemError.h"

namespace remote {

namespace {

constexpr std::string_view kShellMeta = "|&;<>()$`\\\"'*?[]#~=%!{}^";

[[noreturn]] void Refuse(std::string_view text, const std::string& why) {
    throw cimv2::WbemError(cimv2::wbem::InvalidParameter,
                           "Invalid host \"" + cimv2::EscapeControls(text) + "\": " + why);
}

std::string Shown(char c) {
    if (std::iscntrl(static_cast<unsigned char>(c))) {
        static const char* digits = "0123456789abcdef";
        unsigned char u = static_cast<unsigned char>(c);
        return std::string("\\x") + digits[u >> 4] + digits[u & 15];
    }
    return std::string(1, c);
}

// Faults that would let the text act on ssh or a shell, found before its
// parts are looked at.
void CheckCharacters(std::string_view text) {
    if (text.front() == '-') Refuse(text, "it begins with \"-\" and would be read as an option");
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == ' ' || c == '\t') Refuse(text, "it contains a blank");
        if (std::iscntrl(u)) Refuse(text, "it contains the control character " + Shown(c));
        if (u >= 0x80) Refuse(text, "it contains a character outside ASCII");
        // Brackets belong to [IPv6]; they are checked with the address.
        if (c != '[' && c != ']' && kShellMeta.find(c) != std::string_view::npos)
            Refuse(text, std::string("it contains the shell metacharacter '") + c + "'");
    }
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_'; }

void CheckName(std::string_view text, std::string_view name, const char* what) {
    if (name.empty()) Refuse(text, std::string("the ") + what + " is empty");
    if (name.front() == '-')
        Refuse(text, std::string("the ") + what + " begins with \"-\" and would be read as an option");
    for (char c : name)
        if (!IsNameChar(c)) Refuse(text, std::string("the ") + what + " contains '" + Shown(c) + "'");
}

int ParsePort(std::string_view text, std::string_view digits) {
    if (digits.empty() || digits.size() > 5) Refuse(text, "the port must be a number from 1 to 65535");
    int port = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) Refuse(text, "the port must be a number from 1 to 65535");
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) Refuse(text, "the port must be a number from 1 to 65535");
    return port;
}

}  // namespace

SshTarget ParseHostText(std::string_view text) {
    if (text.empty()) Refuse(text, "it is empty");
    CheckCharacters(text);
    SshTarget target;
    std::string_view rest = text;
    if (size_t at = rest.rfind('@'); at != std::string_view::npos) {
        std::string_view user = rest.substr(0, at);
        if (user.find('@') != std::string_view::npos) Refuse(text, "it contains more than one '@'");
        CheckName(text, user, "user name");
        target.user = std::string(user);
        rest = rest.substr(at + 1);
    }
    if (!rest.empty() && rest.front() == '[') {
        size_t close = rest.find(']');
        if (close == std::string_view::npos) Refuse(text, "the IPv6 address lacks its closing ']'");
        std::string_view address = rest.substr(1, close - 1);
        if (address.find(':') == std::string_view::npos) Refuse(text, "brackets hold an IPv6 address");
        for (char c : address)
            if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.')
                Refuse(text, "the IPv6 address contains '" + Shown(c) + "'");
        target.host = std::string(address);
        std::string_view after = rest.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') Refuse(text, "only \":port\" may follow the IPv6 address");
            target.port = ParsePort(text, after.substr(1));
        }
        return target;
    }
    if (rest.find(']') != std::string_view::npos) Refuse(text, "it contains ']' without '['");
    size_t colon = rest.find(':');
    if (colon != std::string_view::npos) {
        if (rest.find(':', colon + 1) != std::string_view::npos)
            Refuse(text, "write an IPv6 address in brackets, as in [fe80::1]");
        target.port = ParsePort(text, rest.substr(colon + 1));
        rest = rest.substr(0, colon);
    }
    CheckName(text, rest, "host name");
    target.host = std::string(rest);
    return target;
}

}  // namespace remote
