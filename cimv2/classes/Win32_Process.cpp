// Win32_Process: one instance per /proc/PID directory.
//   stat: Name (else the executable's base name), ParentProcessId,
//     SessionId (the session id), ThreadCount, PageFaults (minor + major),
//     KernelModeTime/UserModeTime (ticks to 100 ns units), VirtualSize,
//     ExecutionState, Priority, CreationDate (boot time from /proc/stat
//     plus the start ticks, in UTC);
//   status: WorkingSetSize (VmRSS, bytes), PeakWorkingSetSize (VmHWM, kB),
//     PeakVirtualSize (VmPeak, bytes), PageFileUsage (VmSwap, kB: the page
//     file space the process uses), PrivatePageCount (RssAnon, bytes);
//   io: Read/WriteOperationCount (syscr/syscw), Read/WriteTransferCount
//     (rchar/wchar), readable for one's own processes or with privilege;
//   cmdline: CommandLine (see procfs::JoinCommandLine); exe: ExecutablePath
//     and Name; fd/: HandleCount (open descriptors: the directory's size
//     on a live procfs, else its entries, own processes only).
// What cannot be read (another user's io, exe or fd) is null, and noted. A process
// that ends while it is read drops out whole. Quota and working-set limits
// have no counterpart and stay null.
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <exception>
#include <system_error>
#include <thread>

#include "cimv2/core/CheckedMath.h"
#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/Accounts.h"
#include "cimv2/sources/ProcFs.h"
#include "cimv2/sources/TimeZone.h"

namespace cimv2 {

namespace {

using namespace processcode;

// Execution states: R running, S/D/I waiting (Blocked), T/t stopped, Z/X
// ended but not yet reaped (Terminated).
struct StateCode {
    char state;
    uint32_t code;
};
constexpr StateCode kStates[] = {{'R', 3}, {'S', 4}, {'D', 4}, {'I', 4}, {'T', 8}, {'t', 8}, {'Z', 7}, {'X', 7}};

std::optional<uint64_t> Bytes(std::optional<uint64_t> kb) {
    if (!kb || *kb > UINT64_MAX / 1024) return std::nullopt;
    return *kb * 1024;
}

std::optional<uint32_t> Clamp32(std::optional<uint64_t> v) {
    if (!v) return std::nullopt;
    return static_cast<uint32_t>(std::min<uint64_t>(*v, UINT32_MAX));
}

std::string BaseName(std::string_view path) {
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The boot time plus the start ticks, in UTC; nothing when the sum is past
// any date.
std::optional<std::string> CreationDate(std::optional<int64_t> bootTime, uint64_t startTicks) {
    if (!bootTime) return std::nullopt;
    const uint64_t seconds = startTicks / procfs::kTicksPerSecond;
    const uint32_t micros =
        static_cast<uint32_t>(startTicks % procfs::kTicksPerSecond * (1'000'000 / procfs::kTicksPerSecond));
    // Ticks at 100 a second: the seconds fit an int64_t, their sum with the boot time need not.
    const auto when = CheckedAdd(*bootTime, static_cast<int64_t>(seconds));
    if (!when) return std::nullopt;
    return tz::CimDateTime(*when, 0, micros);
}

// liveProc: /proc is procfs itself, not a captured copy.
std::optional<Instance> ReadProcess(const ProviderContext& context, bool liveProc, const std::string& pidText) {
    const SystemRoot::Directory dir = context.root.OpenDirectory("/proc/" + pidText);
    if (!dir.IsOpen()) return std::nullopt;
    auto statText = dir.ReadFile("stat", 1u << 16);
    if (!statText) return std::nullopt;
    auto stat = procfs::ParseStat(*statText);
    if (!stat || std::to_string(stat->pid) != pidText) return std::nullopt;
    auto statusText = dir.ReadFile("status", 1u << 16);
    if (!statusText) return std::nullopt;  // ended after its stat was read
    const procfs::Status status = procfs::ParseStatus(*statusText);

    auto cmdline = dir.ReadFile("cmdline", 4u << 20);
    auto exe = dir.ReadLink("exe");
    auto ioText = dir.ReadFile("io", 1u << 16);
    auto handles = dir.CountDescriptors("fd", liveProc);
    // Something missing is either not ours to read or a process that has
    // just ended; only its stat, read again, tells which.
    if (!cmdline || !exe || !ioText || !handles) {
        auto again = dir.ReadFile("stat", 1u << 16);
        auto restat = again ? procfs::ParseStat(*again) : std::nullopt;
        if (!restat || restat->starttime != stat->starttime) return std::nullopt;
        // Still there: what was refused is said once for the query.
        const std::pair<bool, const char*> kFiles[] = {
            {!cmdline, "cmdline"}, {!exe, "exe"}, {!ioText, "io"}, {!handles, "fd"}};
        for (const auto& [missing, file] : kFiles)
            if (missing) context.NoteIfDenied(dir.ReadError(file), std::string("/proc/PID/") + file);
    }

    Instance inst(Win32_ProcessSchema());
    SetIdentity(inst, context);
    inst.SetText("OSCreationClassName", "Win32_OperatingSystem");
    const MachineFacts& facts = context.Facts();
    SetIf(inst, "OSName", facts.systemName);
    SetIf(inst, "WindowsVersion", facts.kernelRelease);
    inst.SetText("Handle", pidText);
    inst.Set("ProcessId", Value::UInt(stat->pid));
    inst.Set("ParentProcessId", Value::UInt(stat->ppid));
    inst.Set("SessionId", Value::UInt(stat->session));

    std::string name = stat->comm;
    if (exe && !exe->empty() && exe->front() == '/') {
        std::string path = *exe;
        constexpr std::string_view kDeleted = " (deleted)";
        if (path.size() > kDeleted.size() &&
            path.compare(path.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0)
            path.resize(path.size() - kDeleted.size());
        inst.SetText("ExecutablePath", path);
        name = BaseName(path);
    }
    inst.SetText("Name", name);
    inst.SetText("Caption", name);
    inst.SetText("Description", name);
    if (cmdline) SetIf(inst, "CommandLine", procfs::JoinCommandLine(*cmdline));

    inst.Set("ThreadCount", Value::UInt(std::min<uint64_t>(stat->threads, UINT32_MAX)));
    // The counters are what the kernel says, which need not be sane: sums and
    // products that do not fit are null, never wrapped.
    SetIfUInt(inst, "PageFaults", Clamp32(CheckedAdd(stat->minflt, stat->majflt)));
    constexpr uint64_t k100nsPerTick = 10'000'000 / procfs::kTicksPerSecond;
    SetIfUInt(inst, "KernelModeTime", CheckedMul(stat->stime, k100nsPerTick));
    SetIfUInt(inst, "UserModeTime", CheckedMul(stat->utime, k100nsPerTick));
    for (const auto& s : kStates)
        if (s.state == stat->state) inst.Set("ExecutionState", Value::UInt(s.code));
    if (stat->policy == 1u || stat->policy == 2u) {
        inst.Set("Priority", Value::UInt(24));  // SCHED_FIFO, SCHED_RR: the realtime class
    } else {
        inst.Set("Priority", Value::UInt(procfs::BasePriorityOfNice(stat->nice)));
    }
    SetIf(inst, "CreationDate", CreationDate(facts.bootTime, stat->starttime));

    // Kernel threads have no memory of their own: their status lacks the Vm lines.
    SetIfUInt(inst, "VirtualSize", Bytes(status.vmSize));
    SetIfUInt(inst, "PeakVirtualSize", Bytes(status.vmPeak));
    SetIfUInt(inst, "WorkingSetSize", Bytes(status.vmRss));
    SetIfUInt(inst, "PeakWorkingSetSize", Clamp32(status.vmHwm));
    SetIfUInt(inst, "PageFileUsage", Clamp32(status.vmSwap));
    SetIfUInt(inst, "PrivatePageCount", Bytes(status.rssAnon));

    if (ioText) {
        const procfs::Io io = procfs::ParseIo(*ioText);
        SetIfUInt(inst, "ReadOperationCount", io.syscr);
        SetIfUInt(inst, "WriteOperationCount", io.syscw);
        SetIfUInt(inst, "ReadTransferCount", io.rchar);
        SetIfUInt(inst, "WriteTransferCount", io.wchar);
    }
    SetIfUInt(inst, "HandleCount", handles);
    return inst;
}

const Value* Param(const ParamList& in, std::string_view name) {
    for (const auto& [param, value] : in)
        if (EqualsNoCase(param, name) && !value.IsNull()) return &value;
    return nullptr;
}

std::optional<uint64_t> StartTicksOf(const ProviderContext& context, uint32_t pid) {
    auto text = context.root.ReadFile("/proc/" + std::to_string(pid) + "/stat", 1u << 16);
    auto stat = text ? procfs::ParseStat(*text) : std::nullopt;
    if (!stat) return std::nullopt;
    return stat->starttime;
}

std::optional<uint32_t> OwnerUid(const ProviderContext& context, uint32_t pid) {
    auto text = context.root.ReadFile("/proc/" + std::to_string(pid) + "/status", 1u << 16);
    if (!text) return std::nullopt;
    return procfs::ParseStatus(*text).effectiveUid;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_ProcessSchema() {
    static const ClassSchema schema("Win32_Process", CIM_Process(), {
        {"CommandLine", CimType::String},
        {"ExecutablePath", CimType::String},
        {"HandleCount", CimType::UInt32},
        {"MaximumWorkingSetSize", CimType::UInt32},
        {"MinimumWorkingSetSize", CimType::UInt32},
        {"OtherOperationCount", CimType::UInt64},
        {"OtherTransferCount", CimType::UInt64},
        {"PageFaults", CimType::UInt32},
        {"PageFileUsage", CimType::UInt32},
        {"ParentProcessId", CimType::UInt32},
        {"PeakPageFileUsage", CimType::UInt32},
        {"PeakVirtualSize", CimType::UInt64},
        {"PeakWorkingSetSize", CimType::UInt32},
        {"PrivatePageCount", CimType::UInt64},
        {"ProcessId", CimType::UInt32},
        {"QuotaNonPagedPoolUsage", CimType::UInt32},
        {"QuotaPagedPoolUsage", CimType::UInt32},
        {"QuotaPeakNonPagedPoolUsage", CimType::UInt32},
        {"QuotaPeakPagedPoolUsage", CimType::UInt32},
        {"ReadOperationCount", CimType::UInt64},
        {"ReadTransferCount", CimType::UInt64},
        {"SessionId", CimType::UInt32},
        {"ThreadCount", CimType::UInt32},
        {"VirtualSize", CimType::UInt64},
        {"WindowsVersion", CimType::String},
        {"WriteOperationCount", CimType::UInt64},
        {"WriteTransferCount", CimType::UInt64},
    },
    {MethodDef{"Create",
               {{"CommandLine", CimType::String}, {"CurrentDirectory", CimType::String},
                {"ProcessStartupInformation", CimType::Object}},
               {{"ReturnValue", CimType::UInt32}, {"ProcessId", CimType::UInt32}}},
     MethodDef{"Terminate", {{"Reason", CimType::UInt32}}, {{"ReturnValue", CimType::UInt32}}},
     MethodDef{"GetOwner", {}, {{"ReturnValue", CimType::UInt32}, {"User", CimType::String},
                                {"Domain", CimType::String}}},
     MethodDef{"GetOwnerSid", {}, {{"ReturnValue", CimType::UInt32}, {"Sid", CimType::String}}},
     MethodDef{"SetPriority", {{"Priority", CimType::SInt32}}, {{"ReturnValue", CimType::UInt32}}}});
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_Process(const ProviderContext& context) {
    const bool liveProc = context.root.IsProcFs("/proc");
    std::vector<std::pair<uint32_t, std::string>> pids;
    for (auto& name : context.root.List("/proc")) {
        auto pid = ParseUnsigned(name);
        if (pid && *pid > 0 && *pid <= UINT32_MAX && name.front() != '0')
            pids.emplace_back(static_cast<uint32_t>(*pid), std::move(name));
    }
    std::sort(pids.begin(), pids.end());

    // Most of the time goes to the kernel formatting /proc files, so a busy
    // machine's processes are read by several threads, each a contiguous
    // share; the facts every instance names are read once, before.
    (void)context.Facts();
    constexpr size_t kPerThread = 256;
    const size_t threads =
        std::clamp<size_t>(pids.size() / kPerThread, 1, std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    const size_t share = (pids.size() + threads - 1) / threads;
    std::vector<std::optional<Instance>> read(pids.size());
    std::vector<std::exception_ptr> failures(threads);
    auto readShare = [&](size_t t) {
        try {
            for (size_t n = t * share; n < std::min((t + 1) * share, pids.size()); ++n)
                read[n] = ReadProcess(context, liveProc, pids[n].second);
        } catch (...) {
            failures[t] = std::current_exception();
        }
    };
    std::vector<std::thread> workers;
    for (size_t t = 1; t < threads; ++t) {
        try {
            workers.emplace_back(readShare, t);
        } catch (const std::system_error&) {
            readShare(t);  // no thread to be had: this one reads the share
        }
    }
    readShare(0);
    for (auto& worker : workers) worker.join();
    for (const auto& failure : failures)
        if (failure) std::rethrow_exception(failure);

    std::vector<Instance> instances;
    instances.reserve(pids.size());
    for (auto& inst : read)
        if (inst) instances.push_back(std::move(*inst));
    return instances;
}

ParamList InvokeWin32_Process(const ProviderContext& context, const Instance& inst, const Instance& caller,
                              const MethodDef& method, const ParamList& in) {
    auto reply = [](uint32_t code, ParamList out = {}) {
        out.insert(out.begin(), {"ReturnValue", Value::UInt(code)});
        return out;
    };
    const Value& pidValue = inst.Get("ProcessId");
    const uint32_t pid = pidValue.kind == Value::Kind::UInt ? static_cast<uint32_t>(pidValue.u) : 0;

    if (EqualsNoCase(method.name, "GetOwner") || EqualsNoCase(method.name, "GetOwnerSid")) {
        auto uid = OwnerUid(context, pid);
        if (!uid) return reply(PathNotFound);
        if (EqualsNoCase(method.name, "GetOwnerSid")) return reply(Success, {{"Sid", Value::Text(UnixUserSid(*uid))}});
        auto user = context.Accounts().UserById(*uid);
        // An id without an account reads as the number, as ps shows it.
        ParamList out = {{"User", Value::Text(user ? user->name : std::to_string(*uid))}};
        if (const auto& computer = context.Facts().computerName) out.emplace_back("Domain", Value::Text(*computer));
        return reply(Success, std::move(out));
    }

    // The methods below change the machine: refused where the provider may
    // not act (a captured tree, a read-only agent).
    if (!context.actions) return reply(AccessDenied);

    if (EqualsNoCase(method.name, "Create")) {
        const Value* line = Param(in, "CommandLine");
        if (!line || line->kind != Value::Kind::Text) return reply(InvalidParameter, {{"ProcessId", Value::Null()}});
        // No program can be handed a NUL: the command would be cut short.
        if (line->text.find('\0') != std::string::npos) return reply(InvalidParameter);
        auto argv = procfs::SplitCommandLine(line->text);
        if (!argv || argv->empty()) return reply(InvalidParameter);
        const Value* dir = Param(in, "CurrentDirectory");
        if (dir && dir->kind == Value::Kind::Text && dir->text.find('\0') != std::string::npos)
            return reply(InvalidParameter);
        uint32_t newPid = 0;
        uint32_t code = context.actions->CreateProcess(
            *argv, dir && dir->kind == Value::Kind::Text ? dir->text : std::string(), newPid);
        if (code != Success) return reply(code);
        return reply(Success, {{"ProcessId", Value::UInt(newPid)}});
    }

    // Process 1 and the process answering this call are never acted on.
    if (pid <= 1 || pid == static_cast<uint32_t>(::getpid())) return reply(AccessDenied);
    auto start = StartTicksOf(context, pid);
    if (!start) return reply(PathNotFound);
    // An id is given to a new process once its own has ended: the caller's
    // object names the process that held the id when it was read, and its
    // CreationDate must be that of the one holding it now. The actions check
    // the start time again through a pidfd, which holds on to that process
    // until it is signalled. An object that carries only its keys names
    // whatever process holds the id, as the key alone does.
    const Value& wanted = caller.Get("CreationDate");
    if (!wanted.IsNull() &&
        (wanted.kind != Value::Kind::Text || CreationDate(context.Facts().bootTime, *start) != wanted.text))
        return reply(PathNotFound);

    if (EqualsNoCase(method.name, "Terminate")) return reply(context.actions->TerminateProcess(pid, *start));
    if (EqualsNoCase(method.name, "SetPriority")) {
        const Value* priority = Param(in, "Priority");
        if (!priority) return reply(InvalidParameter);
        int64_t requested = priority->kind == Value::Kind::Int    ? priority->i
                            : priority->kind == Value::Kind::UInt ? static_cast<int64_t>(priority->u)
                                                                  : -1;
        auto nice = requested >= INT32_MIN && requested <= INT32_MAX
                        ? procfs::NiceOfPriorityClass(static_cast<int32_t>(requested))
                        : std::nullopt;
        if (!nice) return reply(InvalidParameter);
        return reply(context.actions->SetProcessNice(pid, *start, *nice));
    }
    return reply(InvalidParameter);
}

}  // namespace cimv2
