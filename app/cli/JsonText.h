#pragma once
// A JSON string for the query tool's json output: always valid UTF-8, with
// ill-formed bytes from a machine replaced by U+FFFD, control characters
// escaped.
#include <string_view>

#include "app/cli/Output.h"

namespace cli {

void JsonString(Output& out, std::string_view raw);

}  // namespace cli
