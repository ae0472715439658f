#include "cimv2/provider/NotedRead.h"

namespace cimv2 {

namespace {

// "16 MiB", or bytes for a limit that is no whole number of MiB.
std::string SizeText(size_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    return std::to_string(bytes) + " bytes";
}

}  // namespace

std::optional<std::string> ReadTextNoted(const ProviderContext& context, std::string_view path, size_t maxBytes) {
    SystemRoot::TextRead read = context.root.ReadText(path, maxBytes);
    if (read.cut) context.Note(NoteCause::Incomplete, std::string(path) + " past " + SizeText(maxBytes));
    if (read.notText) context.Note(NoteCause::Incomplete, std::string(path) + " (not text: it holds a NUL byte)");
    return std::move(read.text);
}

}  // namespace cimv2
