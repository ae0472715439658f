// Every page the catalogue can fill, in the real window over every captured
// machine: the window shows exactly the rows the page's fill writes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QToolButton>
#include <clocale>
#include <filesystem>

#include "tests/support/FakePrintServer.h"
#include "tests/support/LocalComputer.h"
#include "tests/support/RecordedDialogs.h"
#include "ui/frmMain.h"
#include "ui/pages/DirectQuery.h"
#include "wmi/WbemScripting.h"

namespace {

// Points the local computer at a captured machine for the test's lifetime,
// with a print server of two queues and two jobs beside it (a captured tree
// has none of its own).
class CapturedMachine {
public:
    explicit CapturedMachine(const std::filesystem::path& tree) : FPrinting(testsupport::FakePrintServer::Sample()) {
        cimv2::ProviderContext context;
        context.root = cimv2::SystemRoot(tree.string());
        context.printing = &FPrinting;
        FLocal.Use(context);
    }

private:
    testsupport::LocalComputer FLocal;
    testsupport::FakePrintServer FPrinting;
};

std::vector<std::filesystem::path> MachineTrees() {
    std::vector<std::filesystem::path> trees;
    for (const auto& entry : std::filesystem::directory_iterator(SYSQUILL_FIXTURES))
        if (std::filesystem::is_directory(entry.path() / "tree")) trees.push_back(entry.path() / "tree");
    return trees;
}

std::vector<int> FilledPages() {
    std::vector<int> pages;
    for (const ui::PageInfo& page : ui::Pages())
        if (page.fill) pages.push_back(page.index);
    return pages;
}

class PageWindowTest : public ::testing::TestWithParam<int> {
protected:
    PageWindowTest() : window(&dialogs) {}
    TRecordedDialogs dialogs;
    TForm1 window;
};

TEST_P(PageWindowTest, ShowsTheRowsOfThePageFill) {
    const int index = GetParam();
    const ui::PageInfo& page = ui::Page(index);
    QAction* command = window.CommandAction(index);
    ASSERT_NE(command, nullptr);
    EXPECT_TRUE(command->isVisible());
    bool anyRows = false;
    for (const auto& tree : MachineTrees()) {
        SCOPED_TRACE(tree.string());
        CapturedMachine machine(tree);
        ui::PageList expected(page.headerLabel);
        ui::FillPage(page, expected, ".");
        anyRows = anyRows || !expected.Empty();

        command->trigger();
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("; ").toStdString();
        EXPECT_EQ(window.CurrentList(), &window.List(index));
        ASSERT_EQ(window.Model(index)->rowCount(), static_cast<int>(expected.Count()));
        for (size_t n = 0; n < expected.Count(); ++n) {
            const int row = static_cast<int>(n);
            EXPECT_EQ(window.Model(index)->index(row, 0).data().toString().toStdString(), expected.Row(n).property);
            // The toolkit holds text as UTF-16: bytes that are not UTF-8 show as U+FFFD.
            EXPECT_EQ(window.Model(index)->index(row, 1).data().toString().toStdString(),
                      QString::fromStdString(expected.Row(n).value).toStdString());
        }
        if (!expected.Empty()) {
            EXPECT_TRUE(window.List(index).IsHeaderRow(0));
        }

        // Refresh fills the page again: same rows, not twice as many.
        window.RefreshButton()->click();
        EXPECT_EQ(window.Model(index)->rowCount(), static_cast<int>(expected.Count()));
    }
    EXPECT_TRUE(anyRows) << "no captured machine has rows for " << page.caption;
}

// An unguarded page shows the connection error in the error box; a guarded
// one in its message box.
TEST_P(PageWindowTest, AnUnreachableHostShowsTheConnectionError) {
    const int index = GetParam();
    CapturedMachine machine(MachineTrees().front());
    window.CommandAction(index)->trigger();
    dialogs.messages.clear();
    window.HostBox()->setText("unreachable-host");
    window.ConnectButton()->click();
    const QStringList& shown = ui::Page(index).guard == ui::Guard::Guarded ? dialogs.messages : dialogs.errors;
    const QStringList& silent = ui::Page(index).guard == ui::Guard::Guarded ? dialogs.errors : dialogs.messages;
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains("unreachable-host")) << shown[0].toStdString();
    EXPECT_TRUE(silent.isEmpty()) << silent.join("; ").toStdString();
    EXPECT_EQ(window.Model(index)->rowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryFilledPage, PageWindowTest, ::testing::ValuesIn(FilledPages()));

}  // namespace
