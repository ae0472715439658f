#include "app/cli/PageCommands.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "app/cli/NearestNames.h"
#include "app/cli/PageFormat.h"
#include "cimv2/core/SafeText.h"
#include "ui/pages/DirectQuery.h"
#include "ui/pages/ListTools.h"
#include "ui/pages/PageCatalogue.h"

namespace cli {

int ListPages(Output& out, Output&) {
    for (const ui::PageInfo& page : ui::Pages()) {
        std::string command = ui::MenuPath(page);
        std::string caption = page.caption;
        if (page.index < 10) out << ' ';
        out << page.index << "  " << caption;
        if (caption.size() < 30) out << std::string(30 - caption.size(), ' ');
        out << "  " << (command.empty() ? "(no menu command)" : command);
        if (page.index != ui::kHomePage && !page.fill) out << "  (not available yet)";
        out << '\n';
    }
    return 0;
}

namespace {

// The pages with rows, by every name FindPage takes, shown by caption.
std::vector<Spelling> PageSpellings() {
    std::vector<Spelling> spellings;
    for (const ui::PageInfo& page : ui::Pages()) {
        if (page.index == ui::kHomePage || !page.fill) continue;
        for (const char* name : {page.caption, page.command, page.listName})
            if (name) spellings.push_back({name, page.caption});
    }
    return spellings;
}

}  // namespace

int PrintPage(const std::string& name, const std::string& host, const std::string& csvFile, Format format, Output& out,
              Output& err) {
    const ui::PageInfo* page = ui::FindPage(name);
    if (!page) {
        // A name that is no page is a mistake in the arguments, as an unknown option is.
        err << "sysquill-query: no page named \"" << cimv2::EscapeControls(name) << "\" (see --pages)\n";
        if (std::string hint = DidYouMean(NearestNames(name, PageSpellings()), true); !hint.empty())
            err << "sysquill-query: " << hint << '\n';
        return 2;
    }
    if (page->index == ui::kHomePage || !page->fill) {
        err << "sysquill-query: the page \"" << page->caption << "\" has no rows to show\n";
        return 1;
    }
    ui::PageList list(page->headerLabel);
    // The same fill and guard the window runs; an error that escapes an
    // unguarded page reaches the tool's own handler.
    std::optional<std::string> message = ui::RunPageFill(*page, list, host);
    if (!csvFile.empty()) {
        // A fill that failed exports nothing: the file named keeps what it had.
        if (!message) ui::SaveListToCSV(list, csvFile);
    } else if (format != Format::Table) {
        // For a program, as for the file: rows of a fill that failed would
        // read as the whole page.
        if (!message) WritePage(out, list, format);
        out.Flush();
    } else {
        // Rows from another machine may hold control and format characters:
        // escaped, they cannot rewrite or reorder the user's terminal.
        std::vector<std::pair<std::string, std::string>> shown;
        size_t width = 0;
        for (const ui::PageRow& row : list.Rows()) {
            shown.emplace_back(cimv2::EscapeForTerminal(row.property), cimv2::EscapeForTerminal(row.value));
            width = std::max(width, shown.back().first.size());
        }
        for (size_t n = 0; n < shown.size(); ++n) {
            out << shown[n].first;
            if (list.Row(n).hasValue) out << std::string(width - shown[n].first.size() + 2, ' ') << shown[n].second;
            out << '\n';
        }
        out.Flush();
    }
    if (message) {
        err << cimv2::EscapeControls(*message) << '\n';
        return 1;
    }
    return 0;
}

}  // namespace cli
