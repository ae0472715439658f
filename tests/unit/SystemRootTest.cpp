// A captured tree is a root of its own: links inside it resolve inside it,
// and nothing reached through it is a file of the machine running the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cimv2/sources/SystemRoot.h"
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

    // A tree that does not exist reads as an empty machine.
    SystemRoot missing(tree.Dir() + "/no-such-tree");
    EXPECT_FALSE(missing.ReadFile("/proc/interrupts"));
    EXPECT_TRUE(missing.List("/").empty());
}

TEST(SystemRoot, TheRealRootReadsTheMachine) {
    SystemRoot root;
    EXPECT_TRUE(root.IsDirectory("/proc"));
    EXPECT_TRUE(root.ReadAttribute("/proc/sys/kernel/ostype").has_value());
    EXPECT_FALSE(root.List("/proc/self").empty());
}

}  // namespace
