// The real main window on the offscreen platform, answered through the
// dialog seam and fed by a scripted service.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "components/CBiosInfo.h"
#include "tests/support/FakeWbem.h"
#include "tests/support/RecordedDialogs.h"
#include "ui/frmMain.h"
#include "ui/pages/LocalIdentity.h"
#include "wmi/Notice.h"

namespace {

using cimv2::Value;
using fakewbem::FakeHosts;

std::vector<int> VisibleTabs(QTabWidget* tabs) {
    std::vector<int> visible;
    for (int n = 0; n < tabs->count(); ++n)
        if (tabs->isTabVisible(n)) visible.push_back(n);
    return visible;
}

class WindowTest : public ::testing::Test {
protected:
    WindowTest() : window(&dialogs) {
        std::vector<fakewbem::Object> buses;
        buses.push_back(fakewbem::BusObject("PCI_BUS_0", "Alpha bus", "PCI, bus \"zero\"", 0));
        buses.push_back(fakewbem::BusObject("USB_1", "Beta", "", 1));
        buses.push_back(fakewbem::BusObject("ACPI_2", "alpha again", "line one\r\nline two", 2));
        hosts.backend->AddClass(fakewbem::BusSchema(), buses);
        hosts.backend->AddClass(fakewbem::BaseBoardSchema(), {{{"Tag", Value::Text("Base Board")},
                                                               {"Caption", Value::Text("Base Board")},
                                                               {"Product", Value::Text("PRIME B450")},
                                                               {"HostingBoard", Value::Bool(true)}}});
    }

    // Types a host and presses Connect, as the user does.
    void Connect(const QString& host) {
        window.HostBox()->setText(host);
        window.ConnectButton()->click();
    }

    FakeHosts hosts;
    TRecordedDialogs dialogs;
    TForm1 window;
};

TEST_F(WindowTest, StartsOnHomeAlone) {
    EXPECT_EQ(window.windowTitle(), "Sysquill 1.0.2");
    EXPECT_EQ(VisibleTabs(window.Pages()), std::vector<int>{0});
    EXPECT_EQ(window.Pages()->currentIndex(), 0);
    EXPECT_EQ(window.Pages()->count(), 49);
    EXPECT_EQ(window.CurrentHost(), ".");
    EXPECT_EQ(window.CurrentList(), nullptr);
    EXPECT_EQ(window.HostBox()->text(), ".");
    EXPECT_EQ(window.DescriptionLine()->text().toStdString(), ui::Page(0).description);
    EXPECT_EQ(window.ComputerLineLabel()->text().toStdString(), ui::GetCurrentUserName() + " - " + ui::GetLocalIP());
    EXPECT_EQ(window.RefreshButton()->toolTip(), "Refresh Current List");
    EXPECT_EQ(window.ExportButton()->toolTip(), "Export Current List to CSV");
    EXPECT_EQ(window.HostBox()->toolTip(), "Enter Host Name or Enter a Dot for Local Host");
    EXPECT_EQ(window.ConnectButton()->toolTip(), "Connect to Remote Host");
    EXPECT_EQ(window.SearchBox()->toolTip(), "Enter Text to Search in List");
    EXPECT_EQ(window.SearchButton()->toolTip(), "Run Search");
    EXPECT_EQ(window.ExitButton()->toolTip(), "Exit Sysquill");
    EXPECT_EQ(window.ListView(1)->objectName(), "lv2");
    EXPECT_EQ(window.ListView(2)->objectName(), "lv1");
    EXPECT_EQ(window.ListView(48)->objectName(), "lv48");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(WindowTest, MenuShowsCommandsWhosePagesCanBeFilled) {
    QStringList menus;
    for (QAction* action : window.menuBar()->actions())
        if (action->isVisible()) menus << action->text();
    // Only these menus hold pages whose fill routines exist so far.
    for (const char* title : {"Home", "Computer", "Memory"}) EXPECT_TRUE(menus.contains(title)) << title;
    for (const ui::PageInfo& page : ui::Pages()) {
        QAction* action = window.CommandAction(page.index);
        ASSERT_NE(action, nullptr) << page.caption;
        EXPECT_EQ(action->text().toStdString(), page.command);
        EXPECT_EQ(action->isVisible(), page.index == 0 || static_cast<bool>(page.fill)) << page.caption;
    }
}

TEST_F(WindowTest, MenuCommandShowsOnlyItsTabFillsItAndSetsTheLine) {
    Connect(FakeHosts::kHost);
    ASSERT_EQ(dialogs.messages, QStringList{TForm1::kHomeMessage});  // Connect on Home
    EXPECT_EQ(window.CurrentHost(), FakeHosts::kHost);

    window.CommandAction(46)->trigger();
    EXPECT_EQ(VisibleTabs(window.Pages()), std::vector<int>{46});
    EXPECT_EQ(window.Pages()->currentIndex(), 46);
    EXPECT_EQ(window.CurrentList(), &window.List(46));
    EXPECT_EQ(window.Model(46)->rowCount(), 15);
    EXPECT_EQ(window.Model(46)->index(0, 1).data().toString(), "Alpha bus");
    EXPECT_EQ(window.DescriptionLine()->text().toStdString(), ui::Page(46).description);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    window.CommandAction(48)->trigger();
    EXPECT_EQ(VisibleTabs(window.Pages()), std::vector<int>{48});
    EXPECT_EQ(window.Model(48)->rowCount(), 14);
    EXPECT_EQ(window.Model(48)->index(4, 1).data().toString(), "PRIME B450");

    // Home keeps the current list on the last category page.
    window.HomeAction()->trigger();
    EXPECT_EQ(VisibleTabs(window.Pages()), std::vector<int>{0});
    EXPECT_EQ(window.CurrentList(), &window.List(48));
    EXPECT_EQ(window.DescriptionLine()->text().toStdString(), ui::Page(0).description);
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(WindowTest, RefreshOnHomeAndOnAPage) {
    window.RefreshButton()->click();
    window.SearchButton()->click();
    window.ExportButton()->click();
    EXPECT_EQ(dialogs.messages, QStringList(3, TForm1::kHomeMessage));
    EXPECT_TRUE(dialogs.prompts.empty());

    Connect(FakeHosts::kHost);
    window.CommandAction(46)->trigger();
    window.DescriptionLine()->setText("kept");
    const size_t queries = hosts.backend->queries.size();
    window.RefreshButton()->click();
    EXPECT_EQ(hosts.backend->queries.size(), queries + 1);
    EXPECT_EQ(window.Model(46)->rowCount(), 15);  // refilled, not doubled
    EXPECT_EQ(window.DescriptionLine()->text(), "kept");

    // Back to the local computer: "." is passed on as typed.
    Connect(".");
    EXPECT_EQ(window.CurrentHost(), ".");
}

TEST_F(WindowTest, GuardedPageReportsTheAutomationError) {
    Connect("downhost");
    dialogs.messages.clear();
    window.CommandAction(48)->trigger();
    EXPECT_EQ(dialogs.messages, QStringList{"EOleException The RPC server is unavailable 800706BA"});
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(window.Model(48)->rowCount(), 0);
    EXPECT_EQ(window.CurrentList(), &window.List(48));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

void HalfFillThenFail(ui::PageList& list, const std::string&) {
    list.Clear();
    list.AddRow("BIOS Caption", "first");
    list.AddRow("BIOS Version", "second");
    throw std::runtime_error("The component cannot connect");
}

TEST_F(WindowTest, UnguardedFillErrorIsShownAndThePageBecomesCurrent) {
    window.SetFillRoutine(2, HalfFillThenFail, ui::Guard::None);
    ASSERT_TRUE(window.CommandAction(2)->isVisible());
    window.CommandAction(2)->trigger();
    EXPECT_EQ(dialogs.errors, QStringList{"The component cannot connect"});
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(window.Model(2)->rowCount(), 2);  // the rows written so far stay
    EXPECT_EQ(window.CurrentList(), &window.List(2));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The failed command does not change the description line.
    EXPECT_EQ(window.DescriptionLine()->text().toStdString(), ui::Page(0).description);

    // Guarded, the same failure is dropped without a word.
    window.SetFillRoutine(2, HalfFillThenFail, ui::Guard::Guarded);
    window.RefreshButton()->click();
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(window.Model(2)->rowCount(), 2);
}

TEST_F(WindowTest, EscapingErrorReachesTheErrorBox) {
    window.RunCommand([] { throw std::runtime_error("Cannot reach the component"); });
    EXPECT_EQ(dialogs.errors, QStringList{"Cannot reach the component"});
    EXPECT_TRUE(window.isEnabled());
}

TEST_F(WindowTest, SearchStepsWrapsAndRestarts) {
    Connect(FakeHosts::kHost);
    window.CommandAction(46)->trigger();
    dialogs.messages.clear();
    QTreeView* view = window.ListView(46);
    auto search = [&] {
        window.SearchButton()->click();
        return view->currentIndex().row();
    };
    window.SearchBox()->setText("ALPHA");
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(search(), 10);
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(view->selectionModel()->selectedRows().first().row(), 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    EXPECT_EQ(search(), 10);
    window.SearchBox()->setText("alphA");  // a changed text starts at the top again
    EXPECT_EQ(search(), 0);

    window.SearchBox()->setText("no such text");
    window.SearchButton()->click();
    EXPECT_EQ(dialogs.messages, QStringList{TForm1::kNoHits});
    EXPECT_TRUE(window.Found().IsNone());
    window.SearchBox()->setText("");
    window.SearchButton()->click();
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_F(WindowTest, ExportWritesTheActivePagesListThroughTheSaveDialog) {
    Connect(FakeHosts::kHost);
    window.CommandAction(46)->trigger();
    auto folder = std::filesystem::temp_directory_path() / ("sysquill-window-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const QString file = QString::fromStdString((folder / "bus.csv").string());

    dialogs.answers.push_back(std::nullopt);  // cancelled: nothing written
    window.ExportButton()->click();
    EXPECT_FALSE(std::filesystem::exists(folder / "bus.csv"));
    dialogs.answers.push_back(file);
    window.ExportButton()->click();
    ASSERT_EQ(dialogs.prompts.size(), 2u);
    EXPECT_EQ(dialogs.prompts[0], (std::array<QString, 4>{"Save Results", "CSV Files (*.csv)", "csv", "sysquill"}));

    std::ifstream in(folder / "bus.csv", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(),
              "Bus Caption,\"Alpha bus\"\r\n"
              "Bus Description,\"PCI, bus \"\"zero\"\"\"\r\n"
              "Bus Device ID,PCI_BUS_0\r\n"
              "Bus Num,0\r\n"
              "Bus Type,5\r\n"
              "Bus Caption,Beta\r\n"
              "Bus Description,\"\"\r\n"
              "Bus Device ID,USB_1\r\n"
              "Bus Num,1\r\n"
              "Bus Type,5\r\n"
              "Bus Caption,\"alpha again\"\r\n"
              "Bus Description,\"line one\r\nline two\"\r\n"
              "Bus Device ID,ACPI_2\r\n"
              "Bus Num,2\r\n"
              "Bus Type,5\r\n");

    // The next export offers the chosen name; an unwritable one is an error box.
    const QString bad = QString::fromStdString((folder / "bus.csv" / "x.csv").string());
    dialogs.answers.push_back(bad);
    window.ExportButton()->click();
    EXPECT_EQ(dialogs.prompts[2][3], file);
    EXPECT_EQ(dialogs.errors, QStringList{"Cannot create file \"" + bad + "\". Not a directory"});
    std::filesystem::remove_all(folder);
}

TEST_F(WindowTest, HeaderRowsAreOrangeWithWhiteText) {
    Connect(FakeHosts::kHost);
    window.CommandAction(46)->trigger();
    TPageListModel* model = window.Model(46);
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < 2; ++column) {
            const QModelIndex cell = model->index(row, column);
            if (row % 5 == 0) {
                EXPECT_EQ(cell.data(Qt::BackgroundRole).value<QColor>(), QColor(255, 140, 0)) << row;
                EXPECT_EQ(cell.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::white)) << row;
            } else {
                EXPECT_FALSE(cell.data(Qt::BackgroundRole).isValid()) << row;
                EXPECT_FALSE(cell.data(Qt::ForegroundRole).isValid()) << row;
            }
        }
    }
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Property");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Value");
}

TEST(ListModel, PassesTheModelTesterThroughFills) {
    ui::PageList list("Head");
    TPageListModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (int round = 0; round < 3; ++round) {
        TPageListModel::FillScope scope(model);
        list.Clear();
        for (int n = 0; n < 50 * round; ++n) {
            size_t row = list.AddRow(n % 10 == 0 ? "Head" : "Row " + std::to_string(n));
            if (n % 7 != 0) list.SetValue(row, "value " + std::to_string(n));
        }
    }
    EXPECT_EQ(model.rowCount(), 100);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_FALSE(model.index(0, 1).data().isValid());  // a row without a Value cell
    EXPECT_EQ(model.index(1, 1).data().toString(), "value 1");
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
}

TEST_F(WindowTest, ExitClosesTheWindow) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.ExitButton()->click();
    EXPECT_FALSE(window.isVisible());
}

TEST(WindowNotices, AComponentWarningIsTheWindowsBoxWhileTheWindowLives) {
    std::vector<std::string> before;
    wmi::SetNoticeHandler([&](wmi::NoticeKind, const std::string& text) { before.push_back(text); });
    components::TBiosInfo inactive;
    wmi::OleVariant result;
    wmi::TArrVariant out;
    auto callReboot = [&] { inactive.ExecWMIMethod("", wmi::OleVariant(), "Reboot", {}, out, {}, {}, result); };
    {
        TRecordedDialogs dialogs;
        TForm1 window(&dialogs);
        callReboot();
        EXPECT_EQ(dialogs.errors, QStringList{QString::fromUtf8(wmi::kWarnNotActive)});
        EXPECT_TRUE(before.empty());
    }
    // Gone with the window: the handler from before answers again.
    callReboot();
    EXPECT_EQ(before, std::vector<std::string>{wmi::kWarnNotActive});
    wmi::SetNoticeHandler(nullptr);
}

}  // namespace
