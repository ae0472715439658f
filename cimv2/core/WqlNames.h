#pragma once
// The names a parsed WQL query holds, for telling the user which of them a
// class lacks.
#include <string>
#include <vector>

#include "cimv2/core/Wql.h"

namespace cimv2 {

// The property names a query holds, the select list's first, then WHERE's
// in the order written; each once, without letter case.
std::vector<std::string> NamedProperties(const WqlQuery& query);

}  // namespace cimv2
