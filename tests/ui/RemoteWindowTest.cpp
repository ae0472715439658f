// The window against a remote computer: a host alias of a throwaway sshd on
// 127.0.0.1, typed into the host box, fills the hardware pages from the real
// agent exactly as the local computer fills them from the same machine.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QToolButton>
#include <iterator>
#include <set>
#include <string_view>

#include "remote/SshTransport.h"
#include "tests/support/RecordedDialogs.h"
#include "tests/support/RequiredService.h"
#include "tests/support/ThrowawaySshd.h"
#include "ui/frmMain.h"
#include "wmi/WbemScripting.h"

namespace {

constexpr const char* kHardwareRoutines[] = {
    "GetWin32_BaseBoardInfo", "GetWin32_SystemSlotInfo",  "GetWin32_IRQResourceInfo", "GetWin32_BusInfo",
    "GetWin32_PnPEntityInfo", "GetWin32_CacheMemoryInfo", "GetWin32_DMAChannelInfo"};

std::vector<std::pair<std::string, std::string>> Rows(TPageListModel* model) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows.emplace_back(model->index(row, 0).data().toString().toStdString(),
                          model->index(row, 1).data().toString().toStdString());
    return rows;
}

TEST(RemoteWindow, HostAliasInTheHostBoxFillsTheHardwarePagesFromTheAgent) {
    if (!*sshtest::kAgentProgram) GTEST_SKIP() << "sysquill-agent was not built";
    sshtest::Sshd server;
    if (!server.SkipReason().empty()) {
        SYSQUILL_SKIP_WITHOUT_SERVICE(server.SkipReason());
    }
    const cimv2::ProviderContext saved = wmi::LocalContext();
    remote::SetSshConfig(server.Config());
    remote::InstallSshTransport();

    std::set<std::string> filled;
    for (const char* machine : {"physical-desktop", "this-vm"}) {
        // The same captured machine on both sides: the local computer in
        // process, and the agent behind sshd.
        const std::string tree = std::string(SYSQUILL_FIXTURES) + "/" + machine + "/tree";
        cimv2::ProviderContext context;
        context.root = cimv2::SystemRoot(tree);
        wmi::SetLocalContext(context);
        server.InstallRealAgent(sshtest::kAgentProgram, tree);
        remote::CloseSshConnections();
        const size_t spawnedBefore = remote::SshSpawnCount();

        TRecordedDialogs dialogs;
        TForm1 window(&dialogs);
        for (const char* routine : kHardwareRoutines) {
            int index = -1;
            for (const ui::PageInfo& page : ui::Pages())
                if (std::string_view(page.fillName ? page.fillName : "") == routine) index = page.index;
            ASSERT_GE(index, 0) << routine;

            window.CommandAction(index)->trigger();
            window.HostBox()->setText(QStringLiteral("."));
            window.ConnectButton()->click();
            auto local = Rows(window.Model(index));

            window.HostBox()->setText(QString::fromLatin1(sshtest::Sshd::kAlias));
            window.ConnectButton()->click();
            EXPECT_EQ(window.CurrentHost(), sshtest::Sshd::kAlias);
            EXPECT_EQ(Rows(window.Model(index)), local) << machine << " " << routine;
            if (!local.empty()) filled.insert(routine);
        }
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("; ").toStdString();
        // Every page after the first went over the connection the first one opened.
        EXPECT_EQ(remote::SshSpawnCount() - spawnedBefore, 1u) << machine;
    }
    // Between them the two machines have rows for every hardware page.
    EXPECT_EQ(filled.size(), std::size(kHardwareRoutines));

    remote::CloseSshConnections();
    server.StopMasters();
    remote::SetSshConfig({});
    wmi::SetRemoteConnector(nullptr);
    wmi::SetLocalContext(saved);
}

}  // namespace
