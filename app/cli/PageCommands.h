#pragma once
// The page commands of the query tool: --pages, --page NAME [--csv FILE].
#include <string>

#include "app/cli/Output.h"

namespace cli {

int ListPages(Output& out, Output& err);
int PrintPage(const std::string& name, const std::string& host, const std::string& csvFile, Output& out, Output& err);

}  // namespace cli
