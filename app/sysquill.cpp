// sysquill: the window. Without a display it says so and prints a hardware
// page through the query tool's page printer instead.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTabWidget>
#include <QTimer>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/LiveMachine.h"
#include "app/cli/PageCommands.h"
#include "ui/Theme.h"
#include "ui/frmMain.h"
#include "ui/pages/DirectQuery.h"

namespace {

constexpr const char* kUsage =
    "usage: sysquill [Qt options]\n"
    "       sysquill --screenshots DIR [INDEX...]\n"
    "       sysquill --version | --help\n"
    "Without a display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset) it prints\n"
    "a hardware page as sysquill-query --page does.\n";

// What the command line asks for. The window takes Qt's own options (which
// QApplication removes before the second look) and the screenshot run.
struct Arguments {
    enum class Action { Window, Screenshots, Help, Version, Usage } action = Action::Window;
    std::string problem;
    QStringList screenshots;  // the folder, then page indexes
};

Arguments ParseArguments(const QStringList& args) {
    Arguments result;
    for (const QString& a : args.mid(1)) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) return {Arguments::Action::Help, {}, {}};
        if (a == QLatin1String("--version")) result.action = Arguments::Action::Version;
    }
    if (result.action == Arguments::Action::Version || args.size() < 2) return result;
    if (args[1] != QLatin1String("--screenshots")) {
        return {Arguments::Action::Usage, "unknown argument " + args[1].toStdString(), {}};
    }
    if (args.size() < 3) return {Arguments::Action::Usage, "--screenshots needs a folder", {}};
    for (const QString& page : args.mid(3)) {
        bool number = false;
        int index = page.toInt(&number);
        if (!number || index < 0 || index >= ui::kPageCount)
            return {Arguments::Action::Usage, "no page with the index " + page.toStdString(), {}};
    }
    return {Arguments::Action::Screenshots, {}, args.mid(2)};
}

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
    QStringList rawArgs;
    for (int n = 0; n < argc; ++n) rawArgs << QString::fromLocal8Bit(argv[n]);
    Arguments arguments = ParseArguments(rawArgs);
    if (arguments.action == Arguments::Action::Help) {
        std::cout << kUsage;
        return 0;
    }
    if (arguments.action == Arguments::Action::Version) {
        std::cout << "sysquill " << SYSQUILL_VERSION << '\n';
        return 0;
    }
    cli::UseLiveMachine();
    if (!HaveDisplay()) {
        // Qt's options mean nothing without a display.
        if (arguments.action == Arguments::Action::Usage) {
            std::cerr << "sysquill: " << arguments.problem << '\n' << kUsage;
            return 2;
        }
        if (arguments.action == Arguments::Action::Screenshots) {
            std::cerr << "sysquill: --screenshots needs a display\n";
            return 1;
        }
        std::setlocale(LC_ALL, "");
        const std::string page = PageToPrint();
        std::cout << "sysquill: no display (DISPLAY and WAYLAND_DISPLAY are unset); printing the \"" << page
                  << "\" page with the query tool's page printer instead\n";
        cli::StreamOutput out(std::cout), err(std::cerr);
        return cli::PrintPage(page, ".", "", cli::Format::Table, out, err);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sysquill"));
    QApplication::setApplicationDisplayName(QStringLiteral("Sysquill"));
    // The installed desktop entry and icon (data/) carry this name.
    QApplication::setDesktopFileName(QStringLiteral("org.sysquill.Sysquill"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.sysquill.Sysquill")));
    app.setStyleSheet(SysquillStyleSheet());

    // QApplication has taken its own options out by now.
    arguments = ParseArguments(QApplication::arguments());
    if (arguments.action == Arguments::Action::Usage) {
        std::cerr << "sysquill: " << arguments.problem << '\n' << kUsage;
        return 2;
    }
    if (arguments.action == Arguments::Action::Screenshots)
        return WriteScreenshots(app, arguments.screenshots[0], arguments.screenshots.mid(1));

    TForm1 window;
    window.showMaximized();
    return QApplication::exec();
}
