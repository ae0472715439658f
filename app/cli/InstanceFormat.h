#pragma once
// The query tool's output formats over provider instances.
#include <string>
#include <vector>

#include "app/cli/Output.h"
#include "cimv2/provider/Provider.h"

namespace cli {

enum class Format { Table, Csv, Mof, Json };

bool ParseFormat(const std::string& name, Format& format);
void WriteResult(Output& out, const cimv2::QueryResult& result, Format format);
// Several queries' results as one JSON document: an array holding each
// query's array, in the order the queries were given.
void WriteJsonResults(Output& out, const std::vector<cimv2::QueryResult>& results);

}  // namespace cli
