#pragma once
// sysquill-query: runs WQL (or prints a page) and reports errors as
// "message (0xCODE)" with a non-zero exit status.
#include <ostream>

#include "app/cli/Output.h"

namespace cli {

int RunQueryTool(int argc, char** argv, Output& out, Output& err);
int RunQueryTool(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace cli
