#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <exception>

#include "cimv2/core/SafeText.h"
#include "cimv2/core/Schema.h"
#include "ui/Theme.h"
#include "ui/pages/DirectQuery.h"
#include "ui/pages/ListTools.h"
#include "ui/pages/LocalIdentity.h"

namespace {

// Grid lines under and between the cells; the model's colours stay in charge of the fill.
class TGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(QColor(0xd6, 0xe0, 0xef));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }
    // Room for descenders (underscores in device IDs) below 11-pixel text.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 4);
    }
};

// The Home picture, centred and scaled keeping its proportions.
class TPictureBox : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return {400, 300}; }

protected:
    void paintEvent(QPaintEvent*) override {
        const double scale = std::min(width() / 400.0, height() / 300.0);
        const int w = static_cast<int>(400 * scale), h = static_cast<int>(300 * scale);
        if (w <= 0 || h <= 0) return;
        if (FCache.size() != QSize(w, h)) FCache = HomePicture(w, h);
        QPainter p(this);
        p.drawPixmap((width() - w) / 2, (height() - h) / 2, FCache);
    }

private:
    QPixmap FCache;
};

QToolButton* MakeButton(QWidget* parent, const QString& name, const QString& text, ToolIcon icon, const QString& hint,
                        QSize size) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setIcon(ToolbarIcon(icon));
    button->setIconSize(QSize(28, 28));
    button->setToolTip(hint);
    button->setToolButtonStyle(size.width() > 42 ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    button->setFixedSize(size);
    return button;
}

QString Text(const char* text) { return QString::fromUtf8(text); }

}  // namespace

TForm1::TForm1(TDialogs* dialogs, QWidget* parent) : QMainWindow(parent), FPages(ui::Pages()) {
    if (!dialogs) {
        FOwnDialogs = std::make_unique<TQtDialogs>(this);
        dialogs = FOwnDialogs.get();
    }
    FDialogs = dialogs;
    // Notices raised below the window (a component's warning box) become
    // this window's message boxes while it lives.
    FPreviousNotice = wmi::SetNoticeHandler([this](wmi::NoticeKind kind, const std::string& text) {
        const QString message = QString::fromStdString(text);
        if (kind == wmi::NoticeKind::Information)
            FDialogs->ShowMessage(message);
        else
            FDialogs->ShowError(message);
    });
    FPreviousSourceNotes = wmi::SetSourceNoteHandler([this](const std::vector<cimv2::SourceNote>& notes) {
        for (const cimv2::SourceNote& note : notes) {
            bool known = false;
            for (const cimv2::SourceNote& had : FFillNotes)
                known = known || (had.cause == note.cause && cimv2::EqualsNoCase(had.className, note.className));
            if (!known) FFillNotes.push_back(note);
        }
    });
    setWindowTitle(kCaption);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    resize(1188, 847);

    for (const ui::PageInfo& page : ui::Pages())
        FLists[static_cast<size_t>(page.index)] =
            std::make_unique<ui::PageList>(page.headerLabel ? page.headerLabel : "");

    BuildToolbar();
    BuildMenu();
    BuildPages();
    statusBar()->setSizeGripEnabled(true);
    // A widget of the bar, not its passing message: menu hints would wipe that.
    FSourceNotes = new QLabel(statusBar());
    FSourceNotes->setObjectName(QStringLiteral("sourceNotes"));
    FSourceNotes->setTextFormat(Qt::PlainText);  // text from a remote machine is never markup
    statusBar()->addWidget(FSourceNotes, 1);
    FormCreate();
}

TForm1::~TForm1() {
    wmi::SetSourceNoteHandler(std::move(FPreviousSourceNotes));
    wmi::SetNoticeHandler(std::move(FPreviousNotice));
}

void TForm1::BuildToolbar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setFixedHeight(50);
    addToolBar(Qt::TopToolBarArea, bar);

    btn1 = MakeButton(bar, QStringLiteral("btn1"), QStringLiteral("Refresh"), ToolIcon::Refresh,
                      QStringLiteral("Refresh Current List"), {42, 42});
    btn3 = MakeButton(bar, QStringLiteral("btn3"), QStringLiteral("Export"), ToolIcon::Export,
                      QStringLiteral("Export Current List to CSV"), {42, 42});
    edt2 = new QLineEdit(QStringLiteral("."), bar);
    edt2->setObjectName(QStringLiteral("hostBox"));
    edt2->setFixedWidth(245);
    edt2->setToolTip(QStringLiteral("Enter Host Name or Enter a Dot for Local Host"));
    spd5 = MakeButton(bar, QStringLiteral("spd5"), QStringLiteral("Connect"), ToolIcon::Connect,
                      QStringLiteral("Connect to Remote Host"), {96, 42});
    edt1 = new QLineEdit(bar);
    edt1->setObjectName(QStringLiteral("searchBox"));
    edt1->setFixedWidth(235);
    edt1->setToolTip(QStringLiteral("Enter Text to Search in List"));
    btn4 = MakeButton(bar, QStringLiteral("btn4"), QStringLiteral("Search"), ToolIcon::Search,
                      QStringLiteral("Run Search"), {90, 42});
    FDescription = new QLabel(bar);
    FDescription->setObjectName(QStringLiteral("descriptionLine"));
    FDescription->setWordWrap(true);
    FDescription->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    FDescription->setMinimumWidth(50);
    FDescription->setMaximumHeight(46);
    // A text longer than the band shows its beginning; the hint holds all of it.
    FDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont descriptionFont(QStringLiteral("Tahoma"));
    descriptionFont.setPixelSize(10);
    FDescription->setFont(descriptionFont);
    btn2 = MakeButton(bar, QStringLiteral("btn2"), QStringLiteral("Exit"), ToolIcon::Exit,
                      QStringLiteral("Exit Sysquill"), {42, 42});

    bar->addWidget(btn1);
    bar->addWidget(btn3);
    bar->addSeparator();
    bar->addWidget(edt2);
    bar->addWidget(spd5);
    bar->addSeparator();
    bar->addWidget(edt1);
    bar->addWidget(btn4);
    bar->addWidget(FDescription);
    bar->addWidget(btn2);

    connect(btn1, &QToolButton::clicked, this, [this] { RunCommand([this] { btn1Click(); }); });
    connect(btn2, &QToolButton::clicked, this, [this] { RunCommand([this] { btn2Click(); }); });
    connect(btn3, &QToolButton::clicked, this, [this] { RunCommand([this] { btn3Click(); }); });
    connect(btn4, &QToolButton::clicked, this, [this] { RunCommand([this] { btn4Click(); }); });
    connect(spd5, &QToolButton::clicked, this, [this] { RunCommand([this] { spd5Click(); }); });
    connect(edt1, &QLineEdit::textChanged, this, [this] { edt1Change(); });
    connect(edt1, &QLineEdit::returnPressed, this, [this] { RunCommand([this] { btn4Click(); }); });
    connect(edt2, &QLineEdit::returnPressed, this, [this] { RunCommand([this] { spd5Click(); }); });
}

void TForm1::BuildMenu() {
    for (const ui::MenuInfo& item : ui::MainMenu()) {
        if (item.pages.empty()) {
            QAction* home = menuBar()->addAction(Text(item.title));
            home->setObjectName(QStringLiteral("mniHome"));
            FActions[ui::kHomePage] = home;
            connect(home, &QAction::triggered, this, [this] { RunCommand([this] { ShowPage(ui::kHomePage); }); });
            continue;
        }
        QMenu* menu = menuBar()->addMenu(Text(item.title));
        FMenus.push_back(menu);
        for (int index : item.pages) {
            QAction* action = menu->addAction(Text(ui::Page(index).command));
            action->setObjectName(QStringLiteral("mni%1").arg(index));
            action->setData(index);
            FActions[static_cast<size_t>(index)] = action;
            connect(action, &QAction::triggered, this,
                    [this, index] { RunCommand([this, index] { ShowPage(index); }); });
        }
    }
    UpdateMenus();
}

QWidget* TForm1::BuildHomePage() {
    auto* home = new QWidget;
    home->setObjectName(QStringLiteral("homePage"));
    auto* layout = new QVBoxLayout(home);
    layout->setContentsMargins(20, 24, 20, 12);

    auto* title = new QLabel(QStringLiteral("Sysquill"), home);
    title->setObjectName(QStringLiteral("homeTitle"));
    QFont titleFont(QStringLiteral("Tahoma"));
    titleFont.setPixelSize(53);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("color: rgb(248, 114, 23);"));
    title->setAlignment(Qt::AlignCenter);
    auto* shadow = new QGraphicsDropShadowEffect(title);
    shadow->setBlurRadius(6);
    shadow->setOffset(3, 3);
    shadow->setColor(QColor(0, 0, 0, 110));
    title->setGraphicsEffect(shadow);

    QFont lineFont(QStringLiteral("Tahoma"));
    lineFont.setPixelSize(16);
    auto* subtitle = new QLabel(QStringLiteral("A free WMI system information utility"), home);
    subtitle->setFont(lineFont);
    subtitle->setAlignment(Qt::AlignCenter);

    auto* picture = new TPictureBox(home);
    picture->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    FComputerLine = new QLabel(QStringLiteral("Computer Name and IP"), home);
    FComputerLine->setObjectName(QStringLiteral("computerLine"));
    FComputerLine->setFont(lineFont);
    FComputerLine->setAlignment(Qt::AlignCenter);

    auto* footer = new QLabel(kCaption, home);
    footer->setObjectName(QStringLiteral("homeFooter"));
    footer->setAlignment(Qt::AlignCenter);

    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addWidget(picture, 1);
    layout->addWidget(FComputerLine);
    layout->addStretch(0);
    layout->addWidget(footer);
    return home;
}

void TForm1::BuildPages() {
    pgc1 = new QTabWidget(this);
    pgc1->setObjectName(QStringLiteral("pgc1"));
    pgc1->setUsesScrollButtons(true);
    auto* delegate = new TGridDelegate(this);
    for (const ui::PageInfo& page : ui::Pages()) {
        if (page.index == ui::kHomePage) {
            pgc1->addTab(BuildHomePage(), Text(page.caption));
            continue;
        }
        const size_t n = static_cast<size_t>(page.index);
        auto* view = new QTreeView;
        view->setObjectName(Text(page.listName));
        auto* model = new TPageListModel(*FLists[n], view);
        view->setModel(model);
        view->setItemDelegate(delegate);
        view->setRootIsDecorated(false);
        view->setItemsExpandable(false);
        view->setUniformRowHeights(true);  // lists reach 100,000 rows
        view->setSortingEnabled(false);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setAllColumnsShowFocus(true);
        view->header()->setStretchLastSection(true);
        view->header()->setSectionsMovable(false);
        FModels[n] = model;
        FViews[n] = view;
        pgc1->addTab(view, Text(page.caption));
    }
    setCentralWidget(pgc1);
}

void TForm1::FormCreate() {
    std::string user;
    std::string problem;
    try {
        user = ui::GetCurrentUserName();
    } catch (const std::exception& e) {
        // Start anyway: the line shows the address alone and the reason is reported.
        problem = e.what();
    }
    FComputerLine->setText(QString::fromStdString(ui::ComputerLine(user, ui::GetLocalIP())));
    FCurrentHost = edt2->text().toStdString();
    for (int n = 0; n < pgc1->count(); ++n) pgc1->setTabVisible(n, false);
    pgc1->setTabVisible(ui::kHomePage, true);
    pgc1->setCurrentIndex(ui::kHomePage);
    FDescription->setText(Text(ui::Page(ui::kHomePage).description));
    FDescription->setToolTip(FDescription->text());
    if (!problem.empty()) FDialogs->ShowError(QString::fromStdString(problem));
}

bool TForm1::HomeIsActive() const { return pgc1->currentIndex() == ui::kHomePage; }

ui::PageList* TForm1::CurrentList() {
    return FCurrentPage > 0 ? FLists[static_cast<size_t>(FCurrentPage)].get() : nullptr;
}

void TForm1::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        FDialogs->ShowError(QString::fromStdString(e.what()));
    } catch (...) {
        FDialogs->ShowError(QStringLiteral("Unknown error"));
    }
}

void TForm1::ShowPage(int index) {
    pgc1->setTabVisible(pgc1->currentIndex(), false);
    pgc1->setTabVisible(index, true);
    pgc1->setCurrentIndex(index);
    const ui::PageInfo& page = ui::Page(index);
    if (index != ui::kHomePage) pgc1Change();
    if (page.description) {
        FDescription->setText(Text(page.description));
        FDescription->setToolTip(FDescription->text());
    }
}

void TForm1::pgc1Change() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct RestoreCursor {
        ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
    } restoreCursor;

    const int index = pgc1->currentIndex();
    if (index <= ui::kHomePage || index >= ui::kPageCount) return;
    const size_t n = static_cast<size_t>(index);
    std::optional<std::string> message;
    FFillNotes.clear();
    try {
        TPageListModel::FillScope scope(*FModels[n]);
        message = ui::RunPageFill(FPages[n], *FLists[n], FCurrentHost);
    } catch (...) {
        // The page still becomes current and the cursor comes back before the error box.
        FCurrentPage = index;
        ShowSourceNotes();
        throw;
    }
    ShowSourceNotes();
    if (FLists[n]->TakeFitRequest()) FViews[n]->resizeColumnToContents(0);
    FCurrentPage = index;
    if (message) {
        QApplication::restoreOverrideCursor();
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        FDialogs->ShowMessage(QString::fromStdString(*message));
    }
}

void TForm1::ShowSourceNotes() {
    QStringList lines;
    for (const cimv2::SourceNote& note : FFillNotes)
        lines << QString::fromStdString(cimv2::EscapeControls(cimv2::NoteText(note)));
    FSourceNotes->setText(lines.join(QStringLiteral("; ")));
    FSourceNotes->setToolTip(lines.join(QLatin1Char('\n')));
}

void TForm1::SetFillRoutine(int index, ui::FillRoutine fill, ui::Guard guard) {
    ui::PageInfo& page = FPages.at(static_cast<size_t>(index));
    page.fill = fill;
    page.guard = guard;
    UpdateMenus();
}

void TForm1::UpdateMenus() {
    // A page without a routine stays out of the menu rather than show an empty list.
    for (QMenu* menu : FMenus) {
        bool anyShown = false;
        for (QAction* action : menu->actions()) {
            const int index = action->data().toInt();
            const bool shown = static_cast<bool>(FPages[static_cast<size_t>(index)].fill);
            action->setVisible(shown);
            anyShown = anyShown || shown;
        }
        menu->menuAction()->setVisible(anyShown);
    }
}

void TForm1::btn1Click() {
    if (HomeIsActive()) {
        FDialogs->ShowMessage(kHomeMessage);
        return;
    }
    pgc1Change();
}

void TForm1::spd5Click() {
    FCurrentHost = edt2->text().toStdString();
    btn1Click();
}

void TForm1::btn2Click() { close(); }

void TForm1::edt1Change() { FFound = {}; }

void TForm1::btn4Click() {
    if (HomeIsActive()) {
        FDialogs->ShowMessage(kHomeMessage);
        return;
    }
    ui::PageList* list = CurrentList();
    std::optional<size_t> hit;
    if (list) hit = ui::FindItem(*list, edt1->text().toStdString(), FFound);
    if (!hit) {
        FFound = {};
        FDialogs->ShowMessage(kNoHits);
        return;
    }
    FFound = ui::MakeRowRef(*list, *hit);
    QTreeView* view = FViews[static_cast<size_t>(FCurrentPage)];
    const QModelIndex cell = view->model()->index(static_cast<int>(*hit), 0);
    view->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(cell, QAbstractItemView::PositionAtCenter);
    view->setFocus();
}

void TForm1::btn3Click() {
    if (HomeIsActive()) {
        FDialogs->ShowMessage(kHomeMessage);
        return;
    }
    std::optional<QString> file = FDialogs->PromptSaveFile(
        QStringLiteral("Save Results"), QStringLiteral("CSV Files (*.csv)"), QStringLiteral("csv"), FSaveName);
    if (!file || file->isEmpty()) return;
    FSaveName = *file;
    // The active page's list, whatever the current list is.
    ui::SaveListToCSV(*FLists[static_cast<size_t>(pgc1->currentIndex())], file->toStdString());
}
