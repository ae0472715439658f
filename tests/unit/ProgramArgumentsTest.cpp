// The programs as a shell and a package script see them: --help and
// --version on standard output with status 0, usage errors on standard
// error with status 2.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TempTree.h"

extern char** environ;

namespace {

struct ProgramRun {
    int status = -1;
    std::string out, err;
};

std::string ReadFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// Standard output goes to a scratch file, or to outPath where one is given.
ProgramRun Run(const std::string& program, std::vector<std::string> args, const std::string& outPath = "") {
    TempTree scratch;
    const std::string out = outPath.empty() ? scratch.Dir() + "/out" : outPath, err = scratch.Dir() + "/err";
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ProgramRun run;
    int wait = 0;
    if (posix_spawn(&pid, program.c_str(), &files, nullptr, argv.data(), environ) == 0 &&
        waitpid(pid, &wait, 0) == pid && WIFEXITED(wait))
        run.status = WEXITSTATUS(wait);
    posix_spawn_file_actions_destroy(&files);
    if (outPath.empty()) run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
}

void ExpectConventions(const std::string& program, const std::string& name,
                       const std::vector<std::vector<std::string>>& usageErrors) {
    SCOPED_TRACE(name);
    for (const char* help : {"--help", "-h"}) {
        ProgramRun run = Run(program, {help});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.rfind("usage: " + name + " ", 0), 0u) << run.out;
        EXPECT_EQ(run.err, "");
    }
    ProgramRun version = Run(program, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind(name + " " SYSQUILL_VERSION, 0), 0u) << version.out;
    EXPECT_EQ(version.err, "");
    for (const auto& args : usageErrors) {
        ProgramRun bad = Run(program, args);
        EXPECT_EQ(bad.status, 2) << args[0];
        EXPECT_EQ(bad.out, "") << args[0];
        // Qt may warn first (about XDG_RUNTIME_DIR, say).
        EXPECT_NE(bad.err.find(name + ": "), std::string::npos) << bad.err;
        EXPECT_NE(bad.err.find("usage: "), std::string::npos) << bad.err;
    }
}

}  // namespace

TEST(ProgramArguments, QueryTool) {
    ExpectConventions(SYSQUILL_QUERY_TOOL, "sysquill-query", {{"--bogus"}, {"--format", "xml", "SELECT"}, {"--page"}});
}

// Results that could not be written are a failure, not a success.
TEST(ProgramArguments, QueryToolReportsOutputItCouldNotWrite) {
    ProgramRun full = ::Run(SYSQUILL_QUERY_TOOL, {"--classes"}, "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("sysquill-query: cannot write the output: "), std::string::npos) << full.err;
    ProgramRun written = ::Run(SYSQUILL_QUERY_TOOL, {"--classes"});
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_NE(written.out.find("Win32_Processor\n"), std::string::npos);
}

TEST(ProgramArguments, Agent) {
    ExpectConventions(SYSQUILL_AGENT, "sysquill-agent", {{"--bogus"}, {"--read-only"}, {"--stdio", "--root"}});
}

#ifdef SYSQUILL_WINDOW
// The tests run with QT_QPA_PLATFORM=offscreen: the window program reaches
// its second look at the arguments, after Qt has taken its own.
TEST(ProgramArguments, Window) {
    ExpectConventions(SYSQUILL_WINDOW, "sysquill",
                      {{"--bogus"}, {"-style", "fusion", "--bogus"}, {"--screenshots"}, {"--screenshots", "dir", "x"}});
}
#endif
