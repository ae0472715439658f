// sysquill: the window. Without a display it says so and prints a hardware
// page through the query tool's page printer instead.
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTimer>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "app/cli/LiveMachine.h"
#include "app/cli/PageCommands.h"
#include "ui/Theme.h"
#include "ui/frmMain.h"
#include "ui/pages/DirectQuery.h"

namespace {

bool HaveDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

// The first hardware page with rows on this machine (a virtual machine
// often has no base board), Base Board when none has any.
std::string PageToPrint() {
    for (int index : {48, 46, 30}) {
        const ui::PageInfo& page = ui::Page(index);
        ui::PageList list(page.headerLabel);
        if (!ui::RunPageFill(page, list, ".") && !list.Empty()) return page.caption;
    }
    return ui::Page(48).caption;
}

// Messages of the screenshot run go to the terminal; nobody is there to click.
class TConsoleDialogs : public TDialogs {
public:
    void ShowMessage(const QString& text) override { std::cerr << text.toStdString() << '\n'; }
    void ShowError(const QString& text) override { std::cerr << "error: " << text.toStdString() << '\n'; }
    std::optional<QString> PromptSaveFile(const QString&, const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

// Developer aid for scripts/screenshots.sh: Home and every page of the
// given indexes, one PNG each, then quit.
int WriteScreenshots(QApplication& app, const QString& folder, const QStringList& pages) {
    TConsoleDialogs dialogs;
    TForm1 window(&dialogs);
    window.resize(1188, 847);
    window.show();
    QDir().mkpath(folder);
    int written = 0;
    auto shoot = [&](int index) {
        window.ShowPage(index);
        for (int n = 0; n < 5; ++n) app.processEvents();
        QString name = QStringLiteral("%1/%2-%3.png")
                           .arg(folder)
                           .arg(index, 2, 10, QLatin1Char('0'))
                           .arg(window.Pages()->tabText(index).replace(QLatin1Char(' '), QLatin1Char('_')));
        if (window.grab().save(name)) {
            std::cout << name.toStdString() << '\n';
            ++written;
        }
    };
    shoot(0);
    for (const QString& page : pages) shoot(page.toInt());
    return written == pages.size() + 1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    cli::UseLiveMachine();
    if (!HaveDisplay()) {
        std::setlocale(LC_ALL, "");
        const std::string page = PageToPrint();
        std::cout << "sysquill: no display (DISPLAY and WAYLAND_DISPLAY are unset); printing the \"" << page
                  << "\" page with the query tool's page printer instead\n";
        return cli::PrintPage(page, ".", "", std::cout, std::cerr);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sysquill"));
    QApplication::setApplicationDisplayName(QStringLiteral("Sysquill"));
    app.setStyleSheet(SysquillStyleSheet());

    const QStringList args = QApplication::arguments();
    if (int at = static_cast<int>(args.indexOf(QStringLiteral("--screenshots"))); at > 0 && at + 1 < args.size())
        return WriteScreenshots(app, args[at + 1], args.mid(at + 2));

    TForm1 window;
    window.showMaximized();
    return QApplication::exec();
}
