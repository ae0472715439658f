#pragma once
// The query tool's output formats over provider instances.
#include <ostream>
#include <string>

#include "cimv2/core/Provider.h"

namespace cli {

enum class Format { Table, Csv, Mof, Json };

bool ParseFormat(const std::string& name, Format& format);
void WriteResult(std::ostream& out, const cimv2::QueryResult& result, Format format);

}  // namespace cli
