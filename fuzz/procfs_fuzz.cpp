// libFuzzer target for the procfs readers, the command-line rules and the
// passwd and shadow readers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/sources/Accounts.h"
#include "cimv2/sources/ProcFs.h"

using namespace cimv2;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto stat = procfs::ParseStat(text))
        if (stat->comm.size() > size) std::abort();
    procfs::ParseStatus(text);
    procfs::ParseIo(text);
    procfs::ParseBootTime(text);
    procfs::SplitCommandLine(text);
    // Any cmdline joins into a text that splits back into its arguments.
    if (auto joined = procfs::JoinCommandLine(text)) {
        std::string_view rest = text;
        if (!rest.empty() && rest.back() == '\0') rest.remove_suffix(1);
        std::vector<std::string> argv;
        for (size_t nul; (nul = rest.find('\0')) != std::string_view::npos; rest.remove_prefix(nul + 1))
            argv.emplace_back(rest.substr(0, nul));
        argv.emplace_back(rest);
        if (procfs::SplitCommandLine(*joined) != argv) std::abort();
    }
    for (const auto& user : ParsePasswd(text))
        if (user.name.empty() || user.name.size() > size) std::abort();
    for (const auto& entry : ParseShadow(text))
        if (entry.name.empty()) std::abort();
    return 0;
}
