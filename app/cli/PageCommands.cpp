#include "app/cli/PageCommands.h"

#include <algorithm>
#include <iomanip>

#include "ui/pages/DirectQuery.h"
#include "ui/pages/ListTools.h"
#include "ui/pages/PageCatalogue.h"

namespace cli {

int ListPages(std::ostream& out, std::ostream&) {
    for (const ui::PageInfo& page : ui::Pages()) {
        std::string command = ui::MenuPath(page);
        out << std::setw(2) << page.index << "  " << std::left << std::setw(30) << page.caption << std::right << "  "
            << (command.empty() ? "(no menu command)" : command);
        if (page.index != ui::kHomePage && !page.fill) out << "  (not available yet)";
        out << '\n';
    }
    return 0;
}

int PrintPage(const std::string& name, const std::string& host, const std::string& csvFile, std::ostream& out,
              std::ostream& err) {
    const ui::PageInfo* page = ui::FindPage(name);
    if (!page) {
        err << "sysquill-query: no page named \"" << name << "\" (see --pages)\n";
        return 1;
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
        ui::SaveListToCSV(list, csvFile);
    } else {
        size_t width = 0;
        for (const ui::PageRow& row : list.Rows()) width = std::max(width, row.property.size());
        for (const ui::PageRow& row : list.Rows()) {
            out << row.property;
            if (row.hasValue) out << std::string(width - row.property.size() + 2, ' ') << row.value;
            out << '\n';
        }
        out.flush();
    }
    if (message) {
        err << *message << '\n';
        return 1;
    }
    return 0;
}

}  // namespace cli
