// The one rule by which the window, the query tool and the agent set up the
// machine they read: this computer (the root "/") has its management
// actions unless read-only, its service manager and its print server; a
// captured tree has none of them and names devices by this computer's ID
// databases.
#include <gtest/gtest.h>

#include <string>

#include "cimv2/provider/MachineSources.h"
#include "tests/unit/TempTree.h"

using namespace cimv2;

TEST(MachineSources, OnlyThisComputerGetsItsActionsServicesAndPrinters) {
    TempTree tree;
    tree.File("/etc/hostname", "captured\n");
    struct Case {
        std::string root;
        bool readOnly;
        bool actions, services, printing, idFallback;
    } cases[] = {
        {"/", false, true, true, true, false},
        {"/", true, false, true, true, false},
        {"//", false, true, true, true, false},  // still this computer's root
        {tree.Dir(), false, false, false, false, true},
        {tree.Dir(), true, false, false, false, true},
        {tree.Dir() + "/", false, false, false, false, true},
    };
    MachineSources sources;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.root + (c.readOnly ? " read-only" : ""));
        const ProviderContext context = sources.ContextFor(SystemRoot(c.root), c.readOnly);
        EXPECT_EQ(context.root.Dir(), SystemRoot(c.root).Dir());
        EXPECT_EQ(context.actions != nullptr, c.actions);
        EXPECT_EQ(context.services != nullptr, c.services);
        EXPECT_EQ(context.printing != nullptr, c.printing);
        ASSERT_EQ(context.idFallback.has_value(), c.idFallback);
        if (context.idFallback) {
            EXPECT_TRUE(context.idFallback->IsThisComputer());
        }
    }
}

// Every context of this computer points at the same sources, kept as long
// as the program keeps the object.
TEST(MachineSources, ContextsOfThisComputerShareItsSources) {
    MachineSources sources;
    const ProviderContext first = sources.ContextFor(SystemRoot("/"));
    const ProviderContext second = sources.ContextFor(SystemRoot("/"), true);
    EXPECT_EQ(first.printing, second.printing);
    EXPECT_EQ(first.services, second.services);
}
