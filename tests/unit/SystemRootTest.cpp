// A captured tree is a root of its own: links inside it resolve inside it,
// and nothing reached through it is a file of the machine running the test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "cimv2/sources/SystemRoot.h"
#include "tests/support/FailingSystemCall.h"
#include "tests/support/RequiredService.h"
#include "tests/unit/TempTree.h"

using cimv2::SystemRoot;

namespace {

TEST(SystemRoot, LinksAndDotDotResolveInsideTheTree) {
    // A file outside the tree that an escaping path would reach.
    TempTree outside;
    outside.File("/secret", "host file\n");
    const std::string hostFile = outside.Dir() + "/secret";

    TempTree tree;
    tree.File("/sys/devices/pci0000:00/0000:00:01.0/vendor", "0x8086\n")
        .File(hostFile, "tree file\n")  // the same path, inside the tree
        .Link("/sys/bus/pci/devices/0000:00:01.0", "../../../devices/pci0000:00/0000:00:01.0")
        .Link("/etc/absolute", hostFile)
        .Link("/etc/climb", "../../../../../../../../.." + hostFile)
        .Link("/etc/abs-dir", outside.Dir());
    SystemRoot root(tree.Dir() + "/");

    // sysfs-style relative links work as on the machine.
    EXPECT_EQ(root.ReadAttribute("/sys/bus/pci/devices/0000:00:01.0/vendor"), "0x8086");
    EXPECT_EQ(root.ReadLink("/sys/bus/pci/devices/0000:00:01.0"), "../../../devices/pci0000:00/0000:00:01.0");
    EXPECT_TRUE(root.IsDirectory("/sys/bus/pci/devices/0000:00:01.0"));

    // Absolute links, ".." past the top and absolute directory links all stay
    // in the tree: they find the tree's copy, never the machine's file.
    for (const std::string& path :
         {std::string("/etc/absolute"), std::string("/etc/climb"), "/../../../../.." + hostFile})
        EXPECT_EQ(root.ReadAttribute(path), "tree file") << path;
    EXPECT_EQ(root.ReadAttribute("/etc/abs-dir/secret"), "tree file");
    EXPECT_EQ(root.List("/etc/abs-dir"), std::vector<std::string>{"secret"});
    tree.Link("/etc/abs-missing", outside.Dir() + "/secret-only-on-the-host");
    outside.File("/secret-only-on-the-host", "host file\n");
    EXPECT_FALSE(root.Exists("/etc/abs-missing"));
    EXPECT_FALSE(root.ReadFile("/etc/abs-missing"));

    // A tree that does not exist reads as an empty machine, and says why.
    SystemRoot missing(tree.Dir() + "/no-such-tree");
    EXPECT_FALSE(missing.ReadFile("/proc/interrupts"));
    EXPECT_TRUE(missing.List("/").empty());
    EXPECT_EQ(missing.OpenError(), ENOENT);
    EXPECT_EQ(SystemRoot(tree.Dir() + "/sys/devices/pci0000:00/0000:00:01.0/vendor").OpenError(), ENOTDIR);
    EXPECT_EQ(root.OpenError(), 0);
    EXPECT_EQ(SystemRoot().OpenError(), 0);
}

TEST(SystemRoot, ReadsRegularFilesOnlyAndNeverBlocks) {
    TempTree tree;
    tree.File("/proc/sys/kernel/ostype", "Linux\n").MakeDir("/etc/dir-name");
    const std::string fifo = tree.Dir() + "/etc/fifo-name";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A FIFO with a writer and data waiting: reading it would take the data,
    // or block once the data is gone.
    int writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(write(writer, "fifo-host\n", 10), 10);

    const std::string socketPath = tree.Dir() + "/etc/socket-name";
    int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    // A random-number device as the host name (a device node needs root to make).
    std::vector<std::string> special = {"/etc/fifo-name", "/etc/socket-name", "/etc/dir-name", "/etc/via-link"};
    tree.Link("/etc/via-link", "fifo-name");
    if (mknod((tree.Dir() + "/proc/sys/kernel/hostname").c_str(), S_IFCHR | 0600, makedev(1, 9)) == 0)
        special.push_back("/proc/sys/kernel/hostname");
    else
        EXPECT_EQ(errno, EPERM);

    SystemRoot root(tree.Dir());
    for (const std::string& path : special) {
        EXPECT_FALSE(root.ReadFile(path).has_value()) << path;
        EXPECT_FALSE(root.ReadAttribute(path).has_value()) << path;
        EXPECT_TRUE(root.Exists(path)) << path;
    }
    EXPECT_EQ(root.ReadAttribute("/proc/sys/kernel/ostype"), "Linux");
    // The data is still in the FIFO: nothing read it.
    char buffer[16] = {};
    EXPECT_EQ(read(writer, buffer, sizeof buffer), 10);
    close(writer);
    close(listener);
}

TEST(SystemRoot, ReadsLongFilesWholeAndStopsAtTheLimit) {
    TempTree tree;
    std::string text;
    for (int n = 0; text.size() < 300'000; ++n) text += "line " + std::to_string(n) + "\n";
    tree.File("/usr/share/misc/pci.ids", text);
    SystemRoot root(tree.Dir());
    EXPECT_EQ(root.ReadFile("/usr/share/misc/pci.ids"), text);
    EXPECT_EQ(root.ReadFile("/usr/share/misc/pci.ids", 5000), text.substr(0, 5000));
}

TEST(SystemRoot, ListsDirectoriesLongerThanOneRead) {
    // 500 entries of long names take several reads of the directory.
    TempTree tree;
    std::vector<std::string> names;
    for (int n = 0; n < 500; ++n) {
        names.push_back("an-entry-with-a-long-name-to-fill-the-buffer-" + std::to_string(1000 + n));
        tree.File("/dir/" + names.back(), "x");
    }
    tree.Link("/dir/link", "an-entry-with-a-long-name-to-fill-the-buffer-1000");
    names.push_back("link");
    std::sort(names.begin(), names.end());
    SystemRoot root(tree.Dir());
    EXPECT_EQ(root.List("/dir"), names);
    const auto dir = root.OpenDirectory("/");
    EXPECT_EQ(dir.CountEntries("dir"), names.size());
    const auto entries = root.OpenDirectory("/dir").Entries();
    ASSERT_EQ(entries.size(), names.size());
    for (size_t n = 0; n < entries.size(); ++n) {
        EXPECT_EQ(entries[n].name, names[n]);
        EXPECT_EQ(entries[n].kind,
                  names[n] == "link" ? SystemRoot::Directory::Kind::Link : SystemRoot::Directory::Kind::File);
    }
}

// A read of a directory that fails after the first (an I/O error, a
// process that ended while its /proc directory was listed) leaves the
// listing unreadable, not cut short.
TEST(SystemRoot, AReadFailingPartwayThroughAListingIsAnError) {
    TempTree tree;
    for (int n = 0; n < 500; ++n)
        tree.File("/dir/an-entry-with-a-long-name-to-fill-the-buffer-" + std::to_string(n), "x");
    SystemRoot root(tree.Dir());
    const auto top = root.OpenDirectory("/");
    const auto dir = root.OpenDirectory("/dir");
    struct Listing {
        const char* name;
        std::function<bool()> readsAsUnreadable;
    };
    const Listing listings[] = {
        {"List", [&] { return root.List("/dir").empty(); }},
        {"Entries", [&] { return dir.Entries().empty(); }},
        {"CountEntries", [&] { return !top.CountEntries("dir").has_value(); }},
    };
    for (const Listing& listing : listings) {
        SCOPED_TRACE(listing.name);
        bool unreadable = false;
        std::string why;
        const int calls = testsupport::RunWithFailingCall(
            SYS_getdents64, 2, EIO, [&] { unreadable = listing.readsAsUnreadable(); }, why);
        if (calls < 0) {
            SYSQUILL_SKIP_WITHOUT_SERVICE(why);
        }
        EXPECT_EQ(calls, 2);  // the first read gave entries, the second failed
        EXPECT_TRUE(unreadable);
    }
}

TEST(SystemRoot, TheRealRootReadsTheMachine) {
    SystemRoot root;
    EXPECT_TRUE(root.IsDirectory("/proc"));
    EXPECT_TRUE(root.ReadAttribute("/proc/sys/kernel/ostype").has_value());
    EXPECT_FALSE(root.List("/proc/self").empty());
    auto status = root.ReadFile("/proc/self/status");
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(status->starts_with("Name:")) << *status;
    EXPECT_FALSE(root.ReadFile("/proc/self").has_value());  // a directory

    // A descriptor's magic link leads anywhere (here to a file outside
    // /proc); it is not followed.
    TempTree tree;
    tree.File("/secret", "not through /proc\n");
    const int fd = open((tree.Dir() + "/secret").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(root.ReadFile("/proc/self/fd/" + std::to_string(fd)).has_value());
    close(fd);
}

}  // namespace
