// Win32_Process: the procfs readers, the command-line rules, the priority
// mapping, the class over the captured tree and its methods through a
// recording seam; the real actions only on processes this test starts.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "cimv2/provider/Provider.h"
#include "cimv2/sources/ProcFs.h"
#include "cimv2/sources/ProcessActions.h"
#include "tests/support/Fixtures.h"
#include "tests/support/PidNamespace.h"
#include "tests/support/RequiredService.h"
#include "tests/unit/TempTree.h"

using namespace cimv2;

namespace {

const std::filesystem::path kThisVm = std::filesystem::path(SYSQUILL_FIXTURES) / "this-vm";

class RecordingProcessActions : public SystemActions {
public:
    uint32_t SetStaticHostName(const std::string&) override { return 0; }
    uint32_t TerminateProcess(uint32_t pid, uint64_t start) override {
        calls.push_back("Terminate " + std::to_string(pid) + " " + std::to_string(start));
        return answer;
    }
    uint32_t SetProcessNice(uint32_t pid, uint64_t start, int nice) override {
        calls.push_back("Nice " + std::to_string(pid) + " " + std::to_string(start) + " " + std::to_string(nice));
        return answer;
    }
    uint32_t CreateProcess(const std::vector<std::string>& argv, const std::string& dir, uint32_t& pid) override {
        std::string call = "Create";
        for (const auto& a : argv) call += " [" + a + "]";
        calls.push_back(call + " in [" + dir + "]");
        pid = 4242;
        return answer;
    }
    std::vector<std::string> calls;
    uint32_t answer = 0;
};

std::map<uint32_t, Instance> ByPid(const std::vector<Instance>& instances) {
    std::map<uint32_t, Instance> map;
    for (const auto& inst : instances) map[static_cast<uint32_t>(inst.Get("ProcessId").u)] = inst;
    return map;
}

const Instance& TreeProcess(uint32_t pid) {
    static const auto all =
        ByPid(Provider(testsupport::FixtureContext(kThisVm)).ExecQuery("SELECT * FROM Win32_Process").instances);
    return all.at(pid);
}

uint32_t ReturnValue(const ParamList& out) {
    EXPECT_EQ(out.at(0).first, "ReturnValue");
    return static_cast<uint32_t>(out.at(0).second.u);
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

// The per-process directory reader never leaves its directory: names with
// a slash or "..", and links, are refused; a FIFO is never opened.
TEST(ProcFs, DirectoryReadsOnlyItsOwnRegularFiles) {
    TempTree tree;
    tree.File("/etc/secret", "outside\n").File("/proc/7/stat", "7 (x) S\n");
    std::filesystem::create_symlink("/etc/secret", tree.Dir() + "/proc/7/io");
    std::filesystem::create_symlink("../../etc/secret", tree.Dir() + "/proc/7/status");
    std::filesystem::create_symlink("/etc", tree.Dir() + "/proc/7/fd");
    ASSERT_EQ(::mkfifo((tree.Dir() + "/proc/7/cmdline").c_str(), 0600), 0);
    const SystemRoot root(tree.Dir());
    const SystemRoot::Directory dir = root.OpenDirectory("/proc/7");
    ASSERT_TRUE(dir.IsOpen());
    EXPECT_EQ(dir.ReadFile("stat"), "7 (x) S\n");
    for (const char* name : {"io", "status", "cmdline", "../../etc/secret", "..", "", "fd"})
        EXPECT_FALSE(dir.ReadFile(name)) << name;
    EXPECT_EQ(dir.ReadLink("io"), "/etc/secret") << "the link's text, never its target";
    EXPECT_FALSE(dir.CountEntries("fd")) << "a link to a directory is not followed";
    EXPECT_FALSE(root.OpenDirectory("/proc/8").IsOpen());
}

TEST(ProcFs, StatTakesTheNameUpToTheLastParenthesis) {
    auto stat = procfs::ParseStat(
        "20429 (ev\nil) (\"q') S 1 20429 20429 0 -1 4194304 1957 0 3 0 1 2 0 0 20 -5 3 0 318481 16977920 2874 "
        "18446744073709551615 4321280 7148169 140727298502224 0 0 0 0 16781312 2 1 0 0 17 1 0 2 0 0\n");
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->comm, "ev\nil) (\"q'");
    EXPECT_EQ(stat->state, 'S');
    EXPECT_EQ(stat->ppid, 1u);
    EXPECT_EQ(stat->majflt, 3u);
    EXPECT_EQ(stat->utime, 1u);
    EXPECT_EQ(stat->stime, 2u);
    EXPECT_EQ(stat->nice, -5);
    EXPECT_EQ(stat->threads, 3u);
    EXPECT_EQ(stat->starttime, 318481u);
    EXPECT_EQ(stat->policy, 2u);
}

TEST(ProcFs, DamagedStatGivesNothing) {
    const char* cases[] = {
        "",
        "12 (x S 1 2 3",                                                     // no closing parenthesis
        "12 x) S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21",     // no opening one
        "12 (x) S 1 2 3",                                                    // too few fields
        "-3 (x) S 1 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 5 100 1",            // signed pid
        "12 (x) S 1 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 five 100 1",         // start time not a number
        "12 (x) S 99999999999 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 5 100 1",  // parent past 32 bits
        "12 (x) SS 1 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 5 100 1",           // state of two letters
    };
    for (const char* text : cases) EXPECT_FALSE(procfs::ParseStat(text)) << text;
}

TEST(ProcFs, CommandLineSplitting) {
    using Args = std::vector<std::string>;
    const std::pair<const char*, std::optional<Args>> cases[] = {
        {"sleep 30", Args{"sleep", "30"}},
        {"  a\t\tb  ", Args{"a", "b"}},
        {"\"two words\" x", Args{"two words", "x"}},
        {"'it''s' \"say \\\"hi\\\"\"", Args{"its", "say \"hi\""}},
        {"a\\ b c\\\\d", Args{"a b", "c\\d"}},
        {"\"\" ''", Args{"", ""}},
        {"\"C:\\dir\"", Args{"C:\\dir"}},
        {"echo $HOME *.txt | rm; >x", Args{"echo", "$HOME", "*.txt", "|", "rm;", ">x"}},
        {"", Args{}},
        {"\"unclosed", std::nullopt},
        {"'unclosed", std::nullopt},
        {"trailing\\", std::nullopt},
    };
    for (const auto& [text, args] : cases) EXPECT_EQ(procfs::SplitCommandLine(text), args) << text;
}

TEST(ProcFs, JoinedCommandLineSplitsBackToTheArguments) {
    const std::string cmdlines[] = {
        std::string("py\nthon \"quoted\"\0-c\0it's a \"test\"\twith\0\xff\xfe \xc3\0\0back\\slash\0", 56),
        std::string("/sbin/init\0", 11),
        std::string("no-terminator", 13),
    };
    for (const auto& cmdline : cmdlines) {
        std::vector<std::string> argv;
        std::string_view rest(cmdline);
        if (!rest.empty() && rest.back() == '\0') rest.remove_suffix(1);
        for (size_t nul; (nul = rest.find('\0')) != std::string_view::npos; rest.remove_prefix(nul + 1))
            argv.emplace_back(rest.substr(0, nul));
        argv.emplace_back(rest);
        auto joined = procfs::JoinCommandLine(cmdline);
        ASSERT_TRUE(joined);
        EXPECT_EQ(procfs::SplitCommandLine(*joined), argv) << *joined;
    }
    EXPECT_FALSE(procfs::JoinCommandLine(std::string_view("", 0))) << "a kernel thread has no command line";
}

TEST(ProcFs, PriorityClassesAndBasePriorities) {
    const struct {
        int32_t priorityClass;
        std::optional<int> nice;
        uint32_t readsBack;
    } cases[] = {
        {64, 19, 4},    {16384, 10, 6},       {32, 0, 8},           {32768, -5, 10},       {128, -10, 13},
        {256, -20, 13}, {0, std::nullopt, 0}, {8, std::nullopt, 0}, {-1, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(procfs::NiceOfPriorityClass(c.priorityClass), c.nice) << c.priorityClass;
        if (c.nice) {
            EXPECT_EQ(procfs::BasePriorityOfNice(*c.nice), c.readsBack) << c.priorityClass;
        }
    }
}

TEST(ProcessClass, HostileNamesAndArgumentsComeThroughWhole) {
    const Instance& p = TreeProcess(20429);
    EXPECT_EQ(p.Get("Name"), Value::Text("python3.11")) << "the executable's name, not the process's own";
    EXPECT_EQ(p.Get("ExecutablePath"), Value::Text("/usr/bin/python3.11"));
    auto argv = procfs::SplitCommandLine(p.Get("CommandLine").text);
    ASSERT_TRUE(argv);
    ASSERT_EQ(argv->size(), 8u);
    EXPECT_EQ((*argv)[0], "py\nthon \"quoted\"");
    EXPECT_EQ((*argv)[4], "\xff\xfe not utf-8 \xc3");
    EXPECT_EQ((*argv)[5], "");
    EXPECT_EQ((*argv)[7], std::string(100000, 'A'));
    EXPECT_EQ(p.Get("Handle"), Value::Text("20429"));
    EXPECT_EQ(p.Get("ParentProcessId"), Value::UInt(1));
    EXPECT_EQ(p.Get("CreationDate"), Value::Text("20261210145246.810000+000")) << "btime + 318481 ticks";
    EXPECT_EQ(p.Get("WorkingSetSize"), Value::UInt(11564u * 1024));
    EXPECT_EQ(p.Get("PeakWorkingSetSize"), Value::UInt(11564)) << "kilobytes, as the class counts it";
    EXPECT_EQ(p.Get("VirtualSize"), Value::UInt(16580u * 1024));
    EXPECT_EQ(p.Get("PeakVirtualSize"), Value::UInt(16628u * 1024));
    EXPECT_EQ(p.Get("PageFileUsage"), Value::UInt(0));
    EXPECT_EQ(p.Get("ReadOperationCount"), Value::UInt(41));
    EXPECT_EQ(p.Get("ReadTransferCount"), Value::UInt(91759));
    EXPECT_EQ(p.Get("KernelModeTime"), Value::UInt(100000)) << "one tick is 100,000 units of 100 ns";
    EXPECT_EQ(p.Get("HandleCount"), Value::UInt(5));
    EXPECT_EQ(p.Get("Priority"), Value::UInt(8));
    EXPECT_EQ(p.Get("ExecutionState"), Value::UInt(4));
}

// Counters and times at the limits of what the kernel can say: a sum or
// product that does not fit is null, never wrapped (and never undefined).
TEST(ProcessClass, CountersAndTimesThatDoNotFitAreNull) {
    const std::string max = std::to_string(UINT64_MAX);
    const struct {
        const char* what;
        std::string btime, minflt, majflt, utime, stime, start;
        Value pageFaults, userTime, kernelTime, creation;
    } cases[] = {
        {"plain", "1700000000", "10", "5", "3", "2", "150", Value::UInt(15), Value::UInt(300000), Value::UInt(200000),
         Value::Text("20231114221321.500000+000")},
        {"boot at the end of time", "9223372036854775807", "0", "0", "0", "0", "100", Value::UInt(0), Value::UInt(0),
         Value::UInt(0), Value::Null()},
        {"started at the end of time", "1700000000", "0", "0", "0", "0", max, Value::UInt(0), Value::UInt(0),
         Value::UInt(0), Value::Null()},
        {"counters at the limit", "1700000000", max, "1", max, max, "0", Value::Null(), Value::Null(), Value::Null(),
         Value::Text("20231114221320.000000+000")},
        {"faults past 32 bits", "1700000000", "4294967295", "1", "0", "0", "0", Value::UInt(UINT32_MAX), Value::UInt(0),
         Value::UInt(0), Value::Text("20231114221320.000000+000")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempTree tree;
        tree.File("/proc/stat", "cpu 1 1 1 1\nbtime " + c.btime + "\n")
            .File("/proc/7/stat", "7 (worker) S 1 7 7 0 -1 0 " + c.minflt + " 0 " + c.majflt + " 0 " + c.utime + " " +
                                      c.stime + " 0 0 20 0 1 0 " + c.start + " 4096 1\n")
            .File("/proc/7/status", "Name:\tworker\n");
        const auto found = Provider(ProviderContext(SystemRoot(tree.Dir()))).ExecQuery("SELECT * FROM Win32_Process");
        ASSERT_EQ(found.instances.size(), 1u);
        const Instance& p = found.instances[0];
        EXPECT_EQ(p.Get("PageFaults"), c.pageFaults);
        EXPECT_EQ(p.Get("UserModeTime"), c.userTime);
        EXPECT_EQ(p.Get("KernelModeTime"), c.kernelTime);
        EXPECT_EQ(p.Get("CreationDate"), c.creation);
    }
}

TEST(ProcessClass, OtherUsersFilesAreNullKernelThreadsHaveNoMemoryAndEndedOnesDropOut) {
    const Instance& other = TreeProcess(20500);
    EXPECT_EQ(other.Get("Name"), Value::Text("sleep")) << "the kernel's name when exe is not ours to read";
    EXPECT_TRUE(other.Get("ExecutablePath").IsNull());
    EXPECT_TRUE(other.Get("ReadOperationCount").IsNull());
    EXPECT_TRUE(other.Get("HandleCount").IsNull());
    EXPECT_EQ(other.Get("CreationDate"), Value::Text("20261210145247.670000+000"));

    const Instance& kthreadd = TreeProcess(2);
    EXPECT_TRUE(kthreadd.Get("CommandLine").IsNull());
    EXPECT_TRUE(kthreadd.Get("VirtualSize").IsNull());
    EXPECT_EQ(kthreadd.Get("Name"), Value::Text("kthreadd"));

    auto all = ByPid(Provider(testsupport::FixtureContext(kThisVm)).ExecQuery("SELECT * FROM Win32_Process").instances);
    EXPECT_FALSE(all.count(20501)) << "stat without status: the process ended while it was read";
}

TEST(ProcessClass, MethodReturnCodes) {
    RecordingProcessActions actions;
    Provider provider(testsupport::FixtureContext(kThisVm, &actions));
    Provider refusing(testsupport::FixtureContext(kThisVm));
    const Instance& target = TreeProcess(20429);
    const Instance& init = TreeProcess(1);
    // The same id read earlier, when another process held it.
    Instance earlier = target;
    earlier.SetText("CreationDate", "20261210145246.800000+000");
    Instance keysOnly = target;
    for (size_t n = 0; n < keysOnly.values.size(); ++n)
        if (!keysOnly.schema->Properties()[n].IsKey()) keysOnly.values[n] = Value::Null();
    const struct {
        const Provider* provider;
        const Instance* target;
        const char* method;
        ParamList in;
        uint32_t code;
        const char* call;  // what reached the seam, "" for nothing
    } cases[] = {
        {&refusing, &target, "Terminate", {}, 2, ""},
        {&refusing, &target, "SetPriority", {{"Priority", Value::Int(64)}}, 2, ""},
        {&refusing, &target, "Create", {{"CommandLine", Value::Text("sleep 1")}}, 2, ""},
        {&provider, &init, "Terminate", {}, 2, ""},
        {&provider, &init, "SetPriority", {{"Priority", Value::Int(64)}}, 2, ""},
        {&provider, &target, "Terminate", {{"Reason", Value::UInt(1)}}, 0, "Terminate 20429 318481"},
        {&provider, &earlier, "Terminate", {}, 9, ""},
        {&provider, &earlier, "SetPriority", {{"Priority", Value::Int(64)}}, 9, ""},
        {&provider, &keysOnly, "Terminate", {}, 0, "Terminate 20429 318481"},
        {&provider, &target, "SetPriority", {{"Priority", Value::Int(16384)}}, 0, "Nice 20429 318481 10"},
        {&provider, &target, "SetPriority", {{"Priority", Value::Int(7)}}, 21, ""},
        {&provider, &target, "SetPriority", {}, 21, ""},
        {&provider, &target, "Create", {}, 21, ""},
        {&provider, &target, "Create", {{"CommandLine", Value::Text("   ")}}, 21, ""},
        {&provider, &target, "Create", {{"CommandLine", Value::Text("say \"unclosed")}}, 21, ""},
        // A NUL would cut the command the program is started with.
        {&provider, &target, "Create", {{"CommandLine", Value::Text(std::string("sleep 30\0 -h", 12))}}, 21, ""},
        {&provider, &target, "Create", {{"CommandLine", Value::Text(std::string("'a\0b'", 5))}}, 21, ""},
        {&provider,
         &target,
         "Create",
         {{"CommandLine", Value::Text("sleep 1")}, {"CurrentDirectory", Value::Text(std::string("/tmp\0/x", 7))}},
         21,
         ""},
        {&provider,
         &target,
         "Create",
         {{"CommandLine", Value::Text("/bin/echo 'a b' $HOME")}, {"CurrentDirectory", Value::Text("/tmp")}},
         0,
         "Create [/bin/echo] [a b] [$HOME] in [/tmp]"},
    };
    for (const auto& c : cases) {
        actions.calls.clear();
        EXPECT_EQ(ReturnValue(c.provider->ExecMethod("Win32_Process", *c.target, c.method, c.in)), c.code)
            << c.method << " " << c.target->Get("ProcessId").u;
        EXPECT_EQ(actions.calls,
                  std::string(c.call).empty() ? std::vector<std::string>{} : std::vector<std::string>{c.call})
            << c.method;
    }
    actions.answer = 9;
    EXPECT_EQ(ReturnValue(provider.ExecMethod("Win32_Process", target, "Terminate", {})), 9u)
        << "the seam's code comes back unchanged";
    auto created = provider.ExecMethod("Win32_Process", target, "Create", {{"CommandLine", Value::Text("x")}});
    EXPECT_EQ(created.size(), 1u) << "no ProcessId when the start failed";
}

TEST(ProcessClass, OwnerAndOwnerSidFromTheTree) {
    Provider provider(testsupport::FixtureContext(kThisVm));
    auto owner = provider.ExecMethod("Win32_Process", TreeProcess(20500), "GetOwner", {});
    EXPECT_EQ(
        owner,
        (ParamList{{"ReturnValue", Value::UInt(0)}, {"User", Value::Text("nobody")}, {"Domain", Value::Text("vm")}}));
    auto sid = provider.ExecMethod("Win32_Process", TreeProcess(20500), "GetOwnerSid", {});
    EXPECT_EQ(sid, (ParamList{{"ReturnValue", Value::UInt(0)}, {"Sid", Value::Text("S-1-22-1-65534")}}));
}

TEST(ProcessClass, TheAnsweringProcessIsNeverActedOn) {
    RecordingProcessActions actions;
    Provider provider(ProviderContext(SystemRoot("/"), &actions));
    auto self = provider.ExecQuery("SELECT * FROM Win32_Process WHERE ProcessId = " + std::to_string(getpid()));
    ASSERT_EQ(self.instances.size(), 1u);
    EXPECT_EQ(ReturnValue(provider.ExecMethod("Win32_Process", self.instances[0], "Terminate", {})), 2u);
    EXPECT_EQ(ReturnValue(provider.ExecMethod("Win32_Process", self.instances[0], "SetPriority",
                                              {{"Priority", Value::Int(64)}})),
              2u);
    EXPECT_TRUE(actions.calls.empty());
}

// Children of this test come and go while the class is read: no query fails
// and no process comes back half read.
TEST(ProcessClass, ProcessesEndingMidReadNeverFailTheQuery) {
    std::atomic<bool> stop{false};
    std::thread churn([&] {
        char arg0[] = "true";
        char* argv[] = {arg0, nullptr};
        while (!stop) {
            pid_t child = 0;
            if (posix_spawn(&child, "/bin/true", nullptr, nullptr, argv, environ) == 0) waitpid(child, nullptr, 0);
        }
    });
    Provider provider(ProviderContext(SystemRoot("/")));
    size_t checked = 0;
    for (int round = 0; round < 30; ++round) {
        for (const auto& p : provider.ExecQuery("SELECT * FROM Win32_Process").instances) {
            ++checked;
            ASSERT_FALSE(p.Get("Name").IsNull());
            ASSERT_FALSE(p.Get("ThreadCount").IsNull());
            ASSERT_FALSE(p.Get("Handle").IsNull());
        }
    }
    stop = true;
    churn.join();
    EXPECT_GT(checked, 0u);
}

// The real actions, only ever on a process this test started through them.
TEST(MachineActions, CreateSetPriorityAndTerminateOwnChild) {
    MachineActions actions;
    Provider provider(ProviderContext(SystemRoot("/"), &actions));
    auto any = provider.ExecQuery("SELECT * FROM Win32_Process WHERE ProcessId = " + std::to_string(getpid()));
    ASSERT_EQ(any.instances.size(), 1u);
    auto created =
        provider.ExecMethod("Win32_Process", any.instances[0], "Create",
                            {{"CommandLine", Value::Text("sleep '30'")}, {"CurrentDirectory", Value::Text("/tmp")}});
    ASSERT_EQ(ReturnValue(created), 0u);
    ASSERT_EQ(created.size(), 2u);
    const uint32_t pid = static_cast<uint32_t>(created[1].second.u);
    ASSERT_GT(pid, 1u);
    const std::string dir = "/proc/" + std::to_string(pid);
    // The child may still be between fork and exec (its arguments read empty
    // meanwhile): wait for the exec, for at most two seconds.
    std::string cmdline = ReadWhole(dir + "/cmdline");
    for (int n = 0; n < 200 && cmdline.rfind("sleep", 0) != 0; ++n) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        cmdline = ReadWhole(dir + "/cmdline");
    }
    EXPECT_EQ(cmdline, std::string("sleep\0"
                                   "30\0",
                                   9));
    EXPECT_EQ(std::filesystem::read_symlink(dir + "/cwd"), "/tmp");

    auto child = provider.ExecQuery("SELECT * FROM Win32_Process WHERE ProcessId = " + std::to_string(pid));
    ASSERT_EQ(child.instances.size(), 1u);
    EXPECT_EQ(ReturnValue(provider.ExecMethod("Win32_Process", child.instances[0], "SetPriority",
                                              {{"Priority", Value::Int(64)}})),
              0u);
    auto reread = provider.ExecQuery("SELECT Priority FROM Win32_Process WHERE ProcessId = " + std::to_string(pid));
    ASSERT_EQ(reread.instances.size(), 1u);
    EXPECT_EQ(reread.instances[0].Get("Priority"), Value::UInt(4)) << "nice 19 reads as the idle class";

    EXPECT_EQ(ReturnValue(provider.ExecMethod("Win32_Process", child.instances[0], "Terminate", {})), 0u);
    bool ended = false;
    for (int n = 0; n < 200 && !ended; ++n) {
        std::string stat = ReadWhole(dir + "/stat");
        auto parsed = procfs::ParseStat(stat);
        ended = !parsed || parsed->state == 'Z' || parsed->state == 'X';
        if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(actions.TerminateProcess(pid, 1), 9u) << "a start time that does not match is another process";
}

namespace {

std::optional<uint64_t> StartTicks(uint32_t pid) {
    auto stat = procfs::ParseStat(ReadWhole("/proc/" + std::to_string(pid) + "/stat"));
    if (!stat) return std::nullopt;
    return stat->starttime;
}

// Start times count clock ticks: two processes started in the same tick
// cannot be told apart by anyone, so the next one waits for a later tick.
void WaitForTickAfter(uint64_t ticks) {
    for (;;) {
        timespec now{};
        clock_gettime(CLOCK_BOOTTIME, &now);
        const uint64_t current =
            (static_cast<uint64_t>(now.tv_sec) * 1'000'000'000u + static_cast<uint64_t>(now.tv_nsec)) /
            (1'000'000'000u / procfs::kTicksPerSecond);
        if (current > ticks + 1) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// As process 1 of its own PID namespace: starts a process, reads its object,
// ends it, gives its id to a new process and terminates through the old
// object, then through the new one. Says what it saw.
std::string ReuseAnIdAndTerminate() {
    MachineActions actions;
    Provider provider(ProviderContext(SystemRoot("/"), &actions));
    auto start = [&]() -> uint32_t {
        uint32_t pid = 0;
        return actions.CreateProcess({"sleep", "1000"}, "", pid) == 0 ? pid : 0;
    };
    auto object = [&](uint32_t pid) -> std::optional<Instance> {
        auto found =
            provider.ExecQuery("SELECT * FROM Win32_Process WHERE ProcessId = " + std::to_string(pid)).instances;
        if (found.size() != 1) return std::nullopt;
        return found[0];
    };
    auto terminate = [&](const Instance& target) {
        return std::to_string(provider.ExecMethod("Win32_Process", target, "Terminate", {}).at(0).second.u);
    };
    const uint32_t first = start();
    const auto firstObject = object(first);
    const auto firstStart = StartTicks(first);
    if (first < 3 || !firstObject || !firstStart) return "the first process did not start";
    kill(static_cast<pid_t>(first), SIGKILL);
    waitpid(static_cast<pid_t>(first), nullptr, 0);  // it is this namespace's first process's orphan
    WaitForTickAfter(*firstStart);
    // The next start forks a middle process, then the program: the program gets the id.
    std::ofstream(std::string("/proc/sys/kernel/ns_last_pid")) << first - 2;
    const uint32_t second = start();
    if (second != first) return "the id was not given again: " + std::to_string(first) + ", " + std::to_string(second);
    if (StartTicks(second) == firstStart) return "both started in the same tick";

    std::string seen = "earlier object: " + terminate(*firstObject);
    const auto state = procfs::ParseStat(ReadWhole("/proc/" + std::to_string(second) + "/stat"));
    seen += state && state->state != 'Z' ? "; holder alive" : "; holder gone";
    const auto secondObject = object(second);
    if (!secondObject) return seen + "; holder unreadable";
    const std::string code = terminate(*secondObject);
    seen += "; its own object: " + code;
    // Never left running: a refused call leaves it to this test to end.
    if (code != "0") kill(static_cast<pid_t>(second), SIGKILL);
    int status = 0;
    waitpid(static_cast<pid_t>(second), &status, 0);
    seen += WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? "; ended by SIGKILL" : "; ended otherwise";
    return seen;
}

}  // namespace

// A process id given to a new process after its own ended: the object read
// before names the ended process, and the one holding the id now is left
// alone. This test runs itself again as process 1 of a PID namespace of its
// own, whose ids it hands out; in there it does the work.
TEST(MachineActions, TerminateNeverHitsTheProcessThatReusedAnId) {
    constexpr const char* kInside = "SYSQUILL_INSIDE_PID_NAMESPACE";
    if (std::getenv(kInside)) {
        EXPECT_EQ(ReuseAnIdAndTerminate(), "earlier object: 9; holder alive; its own object: 0; ended by SIGKILL");
        return;
    }
    const testing::TestInfo* self = testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string("--gtest_filter=") + self->test_suite_name() + "." + self->name();
    std::string why;
    const auto run = testsupport::RunInPidNamespace({"/proc/self/exe", filter}, kInside, &why);
    if (!run) {
        SYSQUILL_SKIP_WITHOUT_SERVICE(why);
    }
    EXPECT_EQ(run->status, 0) << run->output;
    EXPECT_NE(run->output.find("[  PASSED  ] 1 test."), std::string::npos) << run->output;
}

TEST(MachineActions, CreateRefusesWhatCannotStart) {
    MachineActions actions;
    const std::string plainFile = testing::TempDir() + "sysquill-not-a-program";
    std::ofstream(plainFile) << "#!/bin/sh\n";
    std::filesystem::permissions(plainFile, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const struct {
        std::vector<std::string> argv;
        std::string dir;
        uint32_t code;
    } cases[] = {
        {{}, "", 21},
        {{""}, "", 21},
        {{"/nonexistent/program"}, "", 9},
        {{"no-such-program-sysquill"}, "", 9},
        {{plainFile}, "", 9},  // not executable
        {{"sleep", "1"}, "/nonexistent-dir", 9},
        {{std::string("sleep\0x", 7), "1"}, "", 21},
        {{"sleep", std::string("1\0x", 3)}, "", 21},
        {{"sleep", "1"}, std::string("/tmp\0x", 6), 21},
    };
    for (const auto& c : cases) {
        uint32_t pid = 77;
        EXPECT_EQ(actions.CreateProcess(c.argv, c.dir, pid), c.code) << (c.argv.empty() ? "" : c.argv[0]);
        EXPECT_EQ(pid, 0u);
    }
    std::filesystem::remove(plainFile);
}
