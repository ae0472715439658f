#include <gtest/gtest.h>

#include <cerrno>

#include "cimv2/sources/HostnameActions.h"

using namespace cimv2;

namespace {

TEST(StaticHostName, Rfc1123Labels) {
    struct Case {
        std::string name;
        bool valid;
    } cases[] = {
        {"box", true},
        {"web-01", true},
        {"a", true},
        {"9lives", true},
        {"host.example.org", true},
        {std::string(63, 'a'), true},
        {std::string(64, 'a'), false},         // a label holds at most 63
        {std::string(63, 'a') + ".b", false},  // and the whole name at most 64
        {"", false},
        {"-box", false},
        {"box-", false},
        {"bo_x", false},
        {"bo x", false},
        {"box.", false},
        {".box", false},
        {"a..b", false},
        {"caf\xC3\xA9", false},
        {"box;reboot", false},
        {std::string("bo\0x", 4), false},
        {"--", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidStaticHostName(c.name), c.valid) << '"' << c.name << '"';
}

TEST(HostnamedActions, InvalidNamesNeverReachTheBus) {
    std::vector<std::string> sent;
    HostnamedActions actions([&](const std::string& name) {
        sent.push_back(name);
        return HostnameBusReply{};
    });
    EXPECT_EQ(actions.SetStaticHostName("bad name"), rename::InvalidName);
    EXPECT_EQ(actions.SetStaticHostName(""), rename::InvalidName);
    EXPECT_EQ(actions.SetStaticHostName("-x"), rename::InvalidName);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(actions.SetStaticHostName("newbox"), rename::Success);
    EXPECT_EQ(sent, std::vector<std::string>{"newbox"});
}

TEST(HostnamedActions, BusRepliesMapToWmiCodes) {
    struct Case {
        HostnameBusReply reply;
        uint32_t code;
    } cases[] = {
        {{0, "", ""}, 0},
        {{1, "", ""}, 0},
        {{-EACCES, "org.freedesktop.DBus.Error.AccessDenied", "denied"}, 5},
        {{-EACCES, "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired", "auth"}, 5},
        {{-EPERM, "", ""}, 5},
        {{-EACCES, "", ""}, 5},
        {{-EINVAL, "org.freedesktop.DBus.Error.InvalidArgs", "Invalid static hostname"}, 87},
        {{-ENOENT, "", "cannot open the system bus"}, 1062},
        {{-ECONNREFUSED, "", ""}, 1062},
        {{-EHOSTUNREACH, "org.freedesktop.DBus.Error.ServiceUnknown", ""}, 1062},
        {{-EIO, "org.freedesktop.DBus.Error.Failed", "boom"}, 31},
        {{-EBUSY, "", ""}, 31},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RenameCodeOf(c.reply), c.code) << c.reply.status << ' ' << c.reply.errorName;
        HostnamedActions actions([&](const std::string&) { return c.reply; });
        EXPECT_EQ(actions.SetStaticHostName("box"), c.code);
    }
}

}  // namespace
