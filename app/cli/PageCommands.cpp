#include "app/cli/PageCommands.h"

namespace cli {

// The window's pages arrive with the window; until then there are none.
int ListPages(std::ostream&, std::ostream& err) {
    err << "sysquill-query: this build has no pages\n";
    return 1;
}

int PrintPage(const std::string& name, const std::string&, const std::string&, std::ostream&, std::ostream& err) {
    err << "sysquill-query: no page named \"" << name << "\"\n";
    return 1;
}

}  // namespace cli
