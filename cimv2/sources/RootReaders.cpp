#include "cimv2/sources/RootReaders.h"

#include "cimv2/core/TextFields.h"

namespace cimv2 {

std::optional<std::string> ReadLine(const SystemRoot& root, std::string_view path) {
    auto text = root.ReadAttribute(path);
    if (!text) return std::nullopt;
    std::string_view line = Trim(std::string_view(*text).substr(0, text->find('\n')));
    if (line.empty()) return std::nullopt;
    return std::string(line);
}

std::optional<uint64_t> ReadUnsigned(const SystemRoot& root, std::string_view path) {
    auto line = ReadLine(root, path);
    return line ? ParseUnsigned(*line) : std::nullopt;
}

std::optional<int64_t> ReadSigned(const SystemRoot& root, std::string_view path) {
    auto line = ReadLine(root, path);
    return line ? ParseSigned(*line) : std::nullopt;
}

std::optional<uint32_t> ReadHexId(const SystemRoot& root, std::string_view path, size_t maxDigits) {
    auto line = ReadLine(root, path);
    return line ? ParseHex(*line, maxDigits) : std::nullopt;
}

std::map<std::string, std::string> ReadKeyValues(const SystemRoot& root, std::string_view path) {
    auto text = root.ReadFile(path, 1u << 20);
    return text ? ParseKeyValues(*text) : std::map<std::string, std::string>{};
}

}  // namespace cimv2
