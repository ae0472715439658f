#pragma once
// MOF instance text as WMI's GetObjectText_ writes it:
//   instance of Win32_X
//   {
//   \tName = "value";
//   };
// one line per non-null property in schema order.
#include <string>
#include <string_view>

#include "cimv2/core/Schema.h"

namespace cimv2 {

std::string WriteObjectText(const Instance& instance);
// A single value as it stands after "Name = ".
std::string WriteMofValue(const Value& value, CimType type);

// Reads the quoted string that starts at text[pos] (\" \\ \n \r \t \xHH
// decoded) into out and moves pos past its closing quote; answers what is
// wrong with it, or null.
const char* ReadMofString(std::string_view text, size_t& pos, std::string& out);

// Reads object text back for the given class; throws WbemError(InvalidParameter)
// when the text is malformed or does not fit the schema.
Instance ReadObjectText(std::string_view text, const ClassSchema& schema);

}  // namespace cimv2
