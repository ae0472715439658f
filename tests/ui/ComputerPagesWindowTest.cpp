// The "BIOS" and "Computer" pages in the real window, over a captured
// machine: the window shows exactly the rows the page routine writes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QToolButton>
#include <clocale>

#include "tests/support/RecordedDialogs.h"
#include "ui/frmMain.h"
#include "ui/pages/ComputerPages.h"
#include "wmi/WbemScripting.h"

namespace {

// Points the local computer at a captured machine for the test's lifetime.
class CapturedMachine {
public:
    explicit CapturedMachine(const std::string& name) : FSaved(wmi::LocalContext()) {
        cimv2::ProviderContext context;
        context.root = cimv2::SystemRoot(std::string(SYSQUILL_FIXTURES) + "/" + name + "/tree");
        wmi::SetLocalContext(context);
    }
    ~CapturedMachine() { wmi::SetLocalContext(FSaved); }

private:
    cimv2::ProviderContext FSaved;
};

class ComputerPagesWindowTest : public ::testing::TestWithParam<int> {
protected:
    ComputerPagesWindowTest() : machine("physical-desktop"), window(&dialogs) {}
    CapturedMachine machine;
    TRecordedDialogs dialogs;
    TForm1 window;
};

TEST_P(ComputerPagesWindowTest, ShowsTheRowsOfThePageRoutine) {
    const int index = GetParam();
    const ui::PageInfo& page = ui::Page(index);
    ui::PageList expected(page.headerLabel);
    page.fill(expected, ".");
    ASSERT_FALSE(expected.Empty());

    QAction* command = window.CommandAction(index);
    ASSERT_NE(command, nullptr);
    EXPECT_TRUE(command->isVisible());
    command->trigger();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
    EXPECT_EQ(window.CurrentList(), &window.List(index));
    ASSERT_EQ(window.Model(index)->rowCount(), static_cast<int>(expected.Count()));
    for (size_t n = 0; n < expected.Count(); ++n) {
        const int row = static_cast<int>(n);
        EXPECT_EQ(window.Model(index)->index(row, 0).data().toString().toStdString(), expected.Row(n).property);
        EXPECT_EQ(window.Model(index)->index(row, 1).data().toString().toStdString(), expected.Row(n).value);
    }
    EXPECT_TRUE(window.List(index).IsHeaderRow(0));

    // Refresh fills the page again: same rows, not twice as many.
    window.RefreshButton()->click();
    EXPECT_EQ(window.Model(index)->rowCount(), static_cast<int>(expected.Count()));
}

TEST_P(ComputerPagesWindowTest, AnUnreachableHostShowsTheConnectionError) {
    const int index = GetParam();
    window.CommandAction(index)->trigger();
    window.HostBox()->setText("unreachable-host");
    window.ConnectButton()->click();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains("unreachable-host")) << dialogs.errors[0].toStdString();
    EXPECT_EQ(window.Model(index)->rowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(BiosAndComputer, ComputerPagesWindowTest, ::testing::Values(1, 2));

}  // namespace
