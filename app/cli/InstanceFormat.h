#pragma once
// The query tool's output formats over provider instances.
#include <string>

#include "app/cli/Output.h"
#include "cimv2/provider/Provider.h"

namespace cli {

enum class Format { Table, Csv, Mof, Json };

bool ParseFormat(const std::string& name, Format& format);
void WriteResult(Output& out, const cimv2::QueryResult& result, Format format);

}  // namespace cli
