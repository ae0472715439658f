#pragma once
// The page commands of the query tool: --pages, --page NAME [--csv FILE].
#include <string>

#include "app/cli/InstanceFormat.h"
#include "app/cli/Output.h"

namespace cli {

int ListPages(Output& out, Output& err);
// Status 2 for a name that is no page, with the nearest page names.
int PrintPage(const std::string& name, const std::string& host, const std::string& csvFile, Format format, Output& out,
              Output& err);

}  // namespace cli
