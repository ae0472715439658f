// The status bar says why the values of the last fill are null: a source
// this user may not read, or one the machine lacks. Never a message box.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <filesystem>
#include <stdexcept>

#include "tests/support/LocalComputer.h"
#include "tests/support/RecordedDialogs.h"
#include "ui/frmMain.h"
#include "wmi/SourceNoteChannel.h"
#include "wmi/WbemScripting.h"

namespace {

constexpr int kBiosPage = 2;
const std::string kNoTables =
    "Win32_BIOS: some values are null: this machine has no SMBIOS tables (/sys/firmware/dmi/tables)";

class LocalTree {
public:
    explicit LocalTree(const std::string& machine) {
        cimv2::ProviderContext context;
        context.root = cimv2::SystemRoot(std::string(SYSQUILL_FIXTURES) + "/" + machine + "/tree");
        FLocal.Use(context);
    }

private:
    testsupport::LocalComputer FLocal;
};

// Reports notes as a remote answer could hold them, twice over, then fails.
void NotesThenFail(ui::PageList& list, const std::string&) {
    list.Clear();
    const std::vector<cimv2::SourceNote> notes = {
        {"Win32_UserAccount", cimv2::NoteCause::NeedsPrivilege, "<b>/etc/shadow</b>\x1b[2J"},
        {"Win32_Process", cimv2::NoteCause::NeedsPrivilege, "/proc/PID/io"},
    };
    wmi::ReportSourceNotes(notes);
    wmi::ReportSourceNotes(notes);
    throw std::runtime_error("The component cannot connect");
}

class SourceNotesWindow : public ::testing::Test {
protected:
    SourceNotesWindow() : window(&dialogs) {}
    TRecordedDialogs dialogs;
    TForm1 window;
};

}  // namespace

TEST_F(SourceNotesWindow, TheStatusBarSaysWhyTheLastFillsValuesAreNull) {
    QLabel* line = window.SourceNotesLine();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->parentWidget(), window.statusBar());
    EXPECT_EQ(line->text(), QString());
    struct Case {
        const char* machine;
        std::string said;
    } cases[] = {
        {"this-vm", kNoTables},
        {"physical-desktop", ""},  // the tables are there: nothing to say, the last note goes
        {"virtualbox-guest", kNoTables},
    };
    for (const Case& c : cases) {
        LocalTree tree(c.machine);
        window.CommandAction(kBiosPage)->trigger();
        EXPECT_EQ(line->text().toStdString(), c.said) << c.machine;
        // Refreshed, the page says it once, not twice.
        window.RefreshButton()->click();
        EXPECT_EQ(line->text().toStdString(), c.said) << c.machine;
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(SourceNotesWindow, AFailedFillStillSaysItsNotesOnceAndAsPlainText) {
    window.SetFillRoutine(kBiosPage, NotesThenFail, ui::Guard::None);
    window.CommandAction(kBiosPage)->trigger();
    EXPECT_EQ(dialogs.errors, QStringList{"The component cannot connect"});
    QLabel* line = window.SourceNotesLine();
    EXPECT_EQ(line->textFormat(), Qt::PlainText);
    EXPECT_EQ(line->text().toStdString(),
              "Win32_UserAccount: some values are null: reading <b>/etc/shadow</b>\\x1b[2J needs more privilege; "
              "Win32_Process: some values are null: reading /proc/PID/io needs more privilege");
}
