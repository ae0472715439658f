// The window against a remote computer: a host alias of a throwaway sshd on
// 127.0.0.1, typed into the host box, fills every page the catalogue can fill
// from the real agent exactly as the local computer fills it from the same machine.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QToolButton>
#include <set>

#include "cimv2/provider/MachineSources.h"
#include "remote/SshTransport.h"
#include "tests/support/LocalComputer.h"
#include "tests/support/RecordedDialogs.h"
#include "tests/support/RequiredService.h"
#include "tests/support/ThrowawaySshd.h"
#include "ui/frmMain.h"
#include "wmi/WbemScripting.h"

namespace {

std::vector<std::pair<std::string, std::string>> Rows(TPageListModel* model) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows.emplace_back(model->index(row, 0).data().toString().toStdString(),
                          model->index(row, 1).data().toString().toStdString());
    return rows;
}

TEST(RemoteWindow, HostAliasInTheHostBoxFillsEveryPageFromTheAgent) {
    if (!*sshtest::kAgentProgram) GTEST_SKIP() << "sysquill-agent was not built";
    sshtest::Sshd server;
    if (!server.SkipReason().empty()) {
        SYSQUILL_SKIP_WITHOUT_SERVICE(server.SkipReason());
    }
    // The tree is read here as the programs read it, and by the agent with --root.
    cimv2::MachineSources thisComputer;
    testsupport::LocalComputer localComputer;
    remote::SetSshConfig(server.Config());
    remote::InstallSshTransport();

    std::set<std::string> filled;
    size_t pages = 0;
    // A captured tree has no print server: its printer pages are empty on
    // both sides (compared all the same, but not counted as filled).
    auto printServerPage = [](const ui::PageInfo& page) {
        return std::string(page.wmiClass) == "Win32_Printer" || std::string(page.wmiClass) == "Win32_PrintJob";
    };
    for (const ui::PageInfo& page : ui::Pages()) pages += page.fill && !printServerPage(page) ? 1 : 0;
    for (const char* machine : {"physical-desktop", "this-vm", "debian-workstation", "laptop-usb"}) {
        // The same captured machine on both sides: the local computer in
        // process, and the agent behind sshd.
        const std::string tree = std::string(SYSQUILL_FIXTURES) + "/" + machine + "/tree";
        localComputer.Use(thisComputer.ContextFor(cimv2::SystemRoot(tree)));
        server.InstallRealAgent(sshtest::kAgentProgram, tree);
        remote::CloseSshConnections();
        const size_t spawnedBefore = remote::SshSpawnCount();

        TRecordedDialogs dialogs;
        TForm1 window(&dialogs);
        for (const ui::PageInfo& page : ui::Pages()) {
            if (!page.fill) continue;
            const int index = page.index;
            window.CommandAction(index)->trigger();
            window.HostBox()->setText(QStringLiteral("."));
            window.ConnectButton()->click();
            auto local = Rows(window.Model(index));

            window.HostBox()->setText(QString::fromLatin1(sshtest::Sshd::kAlias));
            window.ConnectButton()->click();
            EXPECT_EQ(window.CurrentHost(), sshtest::Sshd::kAlias);
            EXPECT_EQ(Rows(window.Model(index)), local) << machine << " " << page.fillName;
            if (!local.empty()) filled.insert(page.fillName);
        }
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("; ").toStdString();
        // Every page after the first went over the connection the first one opened.
        EXPECT_EQ(remote::SshSpawnCount() - spawnedBefore, 1u) << machine;
    }
    // Between them the machines have rows for every page with a fill (the
    // workstation carries the software side, the laptop the devices).
    EXPECT_GT(pages, 0u);
    EXPECT_EQ(filled.size(), pages);

    remote::CloseSshConnections();
    server.StopMasters();
    remote::SetSshConfig({});
    wmi::SetRemoteConnector(nullptr);
}

}  // namespace
