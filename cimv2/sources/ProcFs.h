#pragma once
// Readers of the per-process files of procfs (stat, status, io, cmdline)
// and of the boot time in /proc/stat, plus the command-line rules shared by
// Win32_Process.CommandLine and Win32_Process.Create. Every reader takes the
// file's text and gives nothing for a field it cannot read whole.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2::procfs {

// The kernel reports process times in USER_HZ ticks, which is 100 on every
// architecture Linux supports today (the /proc ABI fixes it, whatever HZ is).
constexpr uint64_t kTicksPerSecond = 100;

// /proc/PID/stat. The name sits between the first '(' and the LAST ')': a
// process may name itself with blanks, parentheses or line ends.
struct Stat {
    uint32_t pid = 0;
    std::string comm;
    char state = '?';
    uint32_t ppid = 0;
    uint32_t session = 0;
    uint64_t minflt = 0, majflt = 0;
    uint64_t utime = 0, stime = 0;  // ticks
    int64_t nice = 0;
    uint64_t threads = 0;
    uint64_t starttime = 0;          // ticks after boot
    uint64_t vsize = 0;              // bytes
    std::optional<uint32_t> policy;  // scheduling policy (field 41), absent on old kernels
};
std::optional<Stat> ParseStat(std::string_view text);

// The "Key:\tvalue" lines of /proc/PID/status that the process class uses;
// the memory figures in kB as the kernel gives them.
struct Status {
    std::optional<uint32_t> effectiveUid;
    std::optional<uint64_t> vmPeak, vmSize, vmHwm, vmRss, rssAnon, vmSwap;
};
Status ParseStatus(std::string_view text);

// /proc/PID/io (readable for one's own processes, or with privilege).
struct Io {
    std::optional<uint64_t> rchar, wchar, syscr, syscw;
};
Io ParseIo(std::string_view text);

// The "btime" line of /proc/stat: the boot time in seconds since the epoch.
std::optional<int64_t> ParseBootTime(std::string_view text);

// ---- Command lines
//
// One text for an argument vector, and the vector back from a text, by
// these rules (no shell is involved, so nothing else is special):
//   - arguments are separated by runs of blanks (space or tab);
//   - "double quotes" keep blanks and single quotes; inside them a
//     backslash escapes only '"' and '\';
//   - 'single quotes' keep everything up to the next single quote;
//   - outside quotes a backslash keeps the next character as it is;
//   - quoted parts and plain characters next to each other make one
//     argument, so "" is an empty argument;
//   - $, *, ?, |, ;, <, > and the like are plain characters: nothing is
//     expanded or redirected.
// A text that ends inside quotes or after a lone backslash is refused.
std::optional<std::vector<std::string>> SplitCommandLine(std::string_view text);

// /proc/PID/cmdline (NUL-terminated arguments) as one text: the arguments
// joined by spaces, each quoted by the rules above only where it needs it
// (empty, or holding blanks, quotes, backslashes or line ends), so that
// SplitCommandLine gives the vector back. Nothing for an empty cmdline
// (a kernel thread or a zombie).
std::optional<std::string> JoinCommandLine(std::string_view cmdline);

// ---- Priorities
//
// Win32_Process.SetPriority takes WMI's priority classes; each sets a nice
// value on every thread of the process:
//   64 Idle -> 19, 16384 Below Normal -> 10, 32 Normal -> 0,
//   32768 Above Normal -> -5, 128 High Priority -> -10,
//   256 Realtime -> -20 (a nice value, never a real-time scheduling
//   policy, which could starve the machine).
// Nothing for any other number.
std::optional<int> NiceOfPriorityClass(int32_t priorityClass);
// Win32_Process.Priority: the Windows base priority of the class that a
// nice value falls in (4 idle, 6 below normal, 8 normal, 10 above normal,
// 13 high); processes under SCHED_FIFO or SCHED_RR read 24 (realtime).
uint32_t BasePriorityOfNice(int64_t nice);

}  // namespace cimv2::procfs
