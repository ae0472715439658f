#pragma once
// The page commands of the query tool: --pages, --page NAME [--csv FILE].
#include <ostream>
#include <string>

namespace cli {

int ListPages(std::ostream& out, std::ostream& err);
int PrintPage(const std::string& name, const std::string& host, const std::string& csvFile, std::ostream& out,
              std::ostream& err);

}  // namespace cli
