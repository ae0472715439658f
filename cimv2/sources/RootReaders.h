#pragma once
// Typed reads of one file under the system root: each gives nothing when
// the file is missing, unreadable or does not hold what is asked for.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

// The first line, trimmed; nothing when it is empty.
std::optional<std::string> ReadLine(const SystemRoot& root, std::string_view path);
std::optional<uint64_t> ReadUnsigned(const SystemRoot& root, std::string_view path);
std::optional<int64_t> ReadSigned(const SystemRoot& root, std::string_view path);
// A hexadecimal id such as sysfs's "0x8086".
std::optional<uint32_t> ReadHexId(const SystemRoot& root, std::string_view path, size_t maxDigits = 8);
// A KEY=value file (os-release, uevent); empty when unreadable.
std::map<std::string, std::string> ReadKeyValues(const SystemRoot& root, std::string_view path);

}  // namespace cimv2
