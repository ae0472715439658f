#pragma once
// A file of a text format read for a class, said in the query's notes when
// part of it is left out: a file past its size limit shows only its start,
// and one that holds a NUL byte is no text of any format and gives nothing.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "cimv2/provider/ProviderContext.h"

namespace cimv2 {

std::optional<std::string> ReadTextNoted(const ProviderContext& context, std::string_view path, size_t maxBytes);

}  // namespace cimv2
