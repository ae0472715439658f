#pragma once
// The host text a user types for a remote computer: a name or ssh alias,
// an IPv4 address or an [IPv6] address, with an optional user@ and :port.
#include <string>
#include <string_view>

namespace remote {

struct SshTarget {
    std::string user;  // empty: ssh's own choice
    std::string host;  // IPv6 without its brackets
    int port = 0;      // 0: ssh's own choice
};

// Throws WbemError(InvalidParameter) saying why a text is refused. Refused
// texts never reach ssh: a leading "-" (an option), blanks, control
// characters, shell metacharacters and anything else outside host names.
SshTarget ParseHostText(std::string_view text);

}  // namespace remote
