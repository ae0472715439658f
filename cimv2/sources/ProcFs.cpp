#include "cimv2/sources/ProcFs.h"

#include "cimv2/core/TextFields.h"

namespace cimv2::procfs {

namespace {

// Splits at single spaces, as the kernel writes stat.
std::vector<std::string_view> Fields(std::string_view text) {
    std::vector<std::string_view> fields;
    while (!text.empty()) {
        size_t gap = text.find(' ');
        fields.push_back(text.substr(0, gap));
        if (gap == std::string_view::npos) break;
        text.remove_prefix(gap + 1);
    }
    return fields;
}

// The value of a "Key:\t123 kB" line.
std::optional<uint64_t> KiloBytes(std::string_view value) {
    value = Trim(value);
    if (value.size() > 3 && value.substr(value.size() - 3) == " kB") value.remove_suffix(3);
    return ParseUnsigned(value);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool NeedsQuotes(std::string_view arg) {
    if (arg.empty()) return true;
    for (char c : arg)
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '"' || c == '\'' || c == '\\') return true;
    return false;
}

}  // namespace

std::optional<Stat> ParseStat(std::string_view text) {
    size_t open = text.find('(');
    size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return std::nullopt;
    Stat stat;
    auto pid = ParseUnsigned(text.substr(0, open));
    if (!pid || *pid > UINT32_MAX) return std::nullopt;
    stat.pid = static_cast<uint32_t>(*pid);
    stat.comm = std::string(text.substr(open + 1, close - open - 1));
    std::string_view rest = text.substr(close + 1);
    while (!rest.empty() && (rest.back() == '\n' || rest.back() == ' ')) rest.remove_suffix(1);
    if (rest.empty() || rest.front() != ' ') return std::nullopt;
    rest.remove_prefix(1);
    // fields[0] is field 3 (state) of proc(5).
    std::vector<std::string_view> f = Fields(rest);
    if (f.size() < 21 || f[0].size() != 1) return std::nullopt;
    auto field = [&](size_t number) { return ParseUnsigned(f[number - 3]); };
    auto ppid = field(4), session = field(6), minflt = field(10), majflt = field(12), utime = field(14),
         stime = field(15), threads = field(20), start = field(22), vsize = field(23);
    auto nice = ParseSigned(f[19 - 3]);
    if (!ppid || !session || !minflt || !majflt || !utime || !stime || !threads || !start || !vsize || !nice ||
        *ppid > UINT32_MAX || *session > UINT32_MAX)
        return std::nullopt;
    stat.state = f[0][0];
    stat.ppid = static_cast<uint32_t>(*ppid);
    stat.session = static_cast<uint32_t>(*session);
    stat.minflt = *minflt;
    stat.majflt = *majflt;
    stat.utime = *utime;
    stat.stime = *stime;
    stat.nice = *nice;
    stat.threads = *threads;
    stat.starttime = *start;
    stat.vsize = *vsize;
    if (f.size() >= 41 - 2) {
        auto policy = field(41);
        if (policy && *policy <= UINT32_MAX) stat.policy = static_cast<uint32_t>(*policy);
    }
    return stat;
}

Status ParseStatus(std::string_view text) {
    Status status;
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view key = line.substr(0, colon), value = line.substr(colon + 1);
        if (key == "Uid") {
            // real, effective, saved, file system
            value = Trim(value);
            size_t tab = value.find_first_of(" \t");
            if (tab == std::string_view::npos) continue;
            value = Trim(value.substr(tab));
            auto uid = ParseUnsigned(value.substr(0, value.find_first_of(" \t")));
            if (uid && *uid <= UINT32_MAX) status.effectiveUid = static_cast<uint32_t>(*uid);
        } else if (key == "VmPeak") {
            status.vmPeak = KiloBytes(value);
        } else if (key == "VmSize") {
            status.vmSize = KiloBytes(value);
        } else if (key == "VmHWM") {
            status.vmHwm = KiloBytes(value);
        } else if (key == "VmRSS") {
            status.vmRss = KiloBytes(value);
        } else if (key == "RssAnon") {
            status.rssAnon = KiloBytes(value);
        } else if (key == "VmSwap") {
            status.vmSwap = KiloBytes(value);
        }
    }
    return status;
}

Io ParseIo(std::string_view text) {
    Io io;
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view key = line.substr(0, colon);
        auto value = ParseUnsigned(line.substr(colon + 1));
        if (key == "rchar") io.rchar = value;
        if (key == "wchar") io.wchar = value;
        if (key == "syscr") io.syscr = value;
        if (key == "syscw") io.syscw = value;
    }
    return io;
}

std::optional<int64_t> ParseBootTime(std::string_view text) {
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (line.substr(0, 6) != "btime ") continue;
        auto value = ParseUnsigned(line.substr(6));
        if (!value || *value > INT64_MAX) return std::nullopt;
        return static_cast<int64_t>(*value);
    }
    return std::nullopt;
}

std::optional<std::vector<std::string>> SplitCommandLine(std::string_view text) {
    std::vector<std::string> args;
    std::string current;
    bool inArg = false;
    size_t n = 0;
    while (n < text.size()) {
        char c = text[n];
        if (IsBlank(c)) {
            if (inArg) args.push_back(std::move(current));
            current.clear();
            inArg = false;
            ++n;
            continue;
        }
        inArg = true;
        if (c == '\\') {
            if (n + 1 >= text.size()) return std::nullopt;
            current += text[n + 1];
            n += 2;
        } else if (c == '\'') {
            size_t end = text.find('\'', n + 1);
            if (end == std::string_view::npos) return std::nullopt;
            current.append(text.substr(n + 1, end - n - 1));
            n = end + 1;
        } else if (c == '"') {
            ++n;
            for (;;) {
                if (n >= text.size()) return std::nullopt;
                char q = text[n];
                if (q == '"') break;
                if (q == '\\' && n + 1 < text.size() && (text[n + 1] == '"' || text[n + 1] == '\\')) {
                    current += text[n + 1];
                    n += 2;
                    continue;
                }
                current += q;
                ++n;
            }
            ++n;
        } else {
            current += c;
            ++n;
        }
    }
    if (inArg) args.push_back(std::move(current));
    return args;
}

std::optional<std::string> JoinCommandLine(std::string_view cmdline) {
    // The kernel ends every argument with a NUL; a process that rewrote its
    // arguments may leave text after the last one without it.
    if (!cmdline.empty() && cmdline.back() == '\0') cmdline.remove_suffix(1);
    if (cmdline.empty()) return std::nullopt;
    std::string line;
    line.reserve(cmdline.size() + 8);
    bool first = true;
    for (;;) {
        size_t nul = cmdline.find('\0');
        std::string_view arg = cmdline.substr(0, nul);
        if (!first) line += ' ';
        first = false;
        if (!NeedsQuotes(arg)) {
            line.append(arg);
        } else {
            line += '"';
            for (char c : arg) {
                if (c == '"' || c == '\\') line += '\\';
                line += c;
            }
            line += '"';
        }
        if (nul == std::string_view::npos) break;
        cmdline.remove_prefix(nul + 1);
    }
    return line;
}

namespace {

// WMI's priority classes for SetPriority and the nice value each sets. The
// realtime class gets the strongest nice value, not a real-time scheduling
// policy, which could starve the machine.
struct PriorityClass {
    int32_t wmiClass;
    int nice;
};
constexpr PriorityClass kPriorityClasses[] = {
    {64, 19},     // Idle
    {16384, 10},  // Below Normal
    {32, 0},      // Normal
    {32768, -5},  // Above Normal
    {128, -10},   // High Priority
    {256, -20},   // Realtime: nice -20 reads as High
};

}  // namespace

uint32_t BasePriorityOfNice(int64_t nice) {
    if (nice >= 15) return 4;
    if (nice >= 5) return 6;
    if (nice >= -2) return 8;
    if (nice >= -7) return 10;
    return 13;
}

std::optional<int> NiceOfPriorityClass(int32_t priorityClass) {
    for (const auto& p : kPriorityClasses)
        if (p.wmiClass == priorityClass) return p.nice;
    return std::nullopt;
}

}  // namespace cimv2::procfs
