#pragma once
// The main window: toolbar, menu, 49 pages with hidden tabs, status bar.
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Dialogs.h"
#include "ui/ListModel.h"
#include "ui/pages/PageCatalogue.h"
#include "ui/pages/PageList.h"
#include "wmi/Notice.h"
#include "wmi/SourceNoteChannel.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
class QToolButton;
class QTreeView;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("Sysquill 1.0.2");
    static inline const QString kHomeMessage = QStringLiteral("This is the Home TAB, select a different TAB first");
    static inline const QString kNoHits = QStringLiteral("No further hits found");

    // dialogs: null for real message boxes and save dialog.
    explicit TForm1(TDialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    // What a menu command does: shows only that page's tab and fills it.
    void ShowPage(int index);
    void pgc1Change();
    void btn1Click();  // Refresh
    void btn2Click();  // Exit
    void btn3Click();  // Export
    void btn4Click();  // Run Search
    void spd5Click();  // Connect
    void edt1Change();

    // Runs a command; an error that escapes it is shown in an error box.
    void RunCommand(const std::function<void()>& command);

    const std::string& CurrentHost() const { return FCurrentHost; }
    // The list of the last completed dispatch; null before the first one.
    ui::PageList* CurrentList();
    int CurrentPage() const { return FCurrentPage; }
    ui::PageList& List(int index) { return *FLists.at(static_cast<size_t>(index)); }
    TPageListModel* Model(int index) { return FModels.at(static_cast<size_t>(index)); }
    QTreeView* ListView(int index) { return FViews.at(static_cast<size_t>(index)); }
    // The command's action; null for pages no command shows.
    QAction* CommandAction(int index) { return FActions.at(static_cast<size_t>(index)); }
    QAction* HomeAction() { return FActions[0]; }
    QTabWidget* Pages() { return pgc1; }
    QLineEdit* SearchBox() { return edt1; }
    QLineEdit* HostBox() { return edt2; }
    QLabel* DescriptionLine() { return FDescription; }
    QLabel* ComputerLineLabel() { return FComputerLine; }
    // The status bar's line that says why the last fill's values are null.
    QLabel* SourceNotesLine() { return FSourceNotes; }
    QToolButton* RefreshButton() { return btn1; }
    QToolButton* ExitButton() { return btn2; }
    QToolButton* ExportButton() { return btn3; }
    QToolButton* SearchButton() { return btn4; }
    QToolButton* ConnectButton() { return spd5; }
    const ui::RowRef& Found() const { return FFound; }
    // Swaps a page's routine (tests drive the dispatch's error paths with it).
    void SetFillRoutine(int index, ui::FillRoutine fill, ui::Guard guard);

private:
    void FormCreate();
    void BuildToolbar();
    void BuildMenu();
    void BuildPages();
    QWidget* BuildHomePage();
    bool HomeIsActive() const;
    void UpdateMenus();
    void ShowSourceNotes();

    std::unique_ptr<TDialogs> FOwnDialogs;
    TDialogs* FDialogs;
    wmi::NoticeHandler FPreviousNotice;
    wmi::SourceNoteHandler FPreviousSourceNotes;
    // Each class and cause once, as the queries of the running fill met them.
    std::vector<cimv2::SourceNote> FFillNotes;

    QTabWidget* pgc1 = nullptr;
    QLineEdit* edt1 = nullptr;  // search box
    QLineEdit* edt2 = nullptr;  // host box
    QToolButton* btn1 = nullptr;
    QToolButton* btn2 = nullptr;
    QToolButton* btn3 = nullptr;
    QToolButton* btn4 = nullptr;
    QToolButton* spd5 = nullptr;
    QLabel* FDescription = nullptr;
    QLabel* FComputerLine = nullptr;
    QLabel* FSourceNotes = nullptr;

    std::array<ui::PageInfo, ui::kPageCount> FPages;
    std::array<std::unique_ptr<ui::PageList>, ui::kPageCount> FLists;
    std::array<TPageListModel*, ui::kPageCount> FModels{};
    std::array<QTreeView*, ui::kPageCount> FViews{};
    std::array<QAction*, ui::kPageCount> FActions{};
    std::vector<QMenu*> FMenus;

    std::string FCurrentHost = ".";
    int FCurrentPage = -1;
    ui::RowRef FFound;
    QString FSaveName = QStringLiteral("sysquill");
};
