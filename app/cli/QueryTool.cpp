#include "app/cli/QueryTool.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/cli/InstanceFormat.h"
#include "app/cli/LiveMachine.h"
#include "app/cli/NoteLines.h"
#include "app/cli/PageCommands.h"
#include "cimv2/core/SafeText.h"
#include "cimv2/provider/ClassRegistry.h"
#include "wmi/SourceNoteChannel.h"
#include "wmi/WbemScripting.h"

namespace cli {

namespace {

constexpr const char* kUsage =
    "usage: sysquill-query [--host H] [--root DIR] [--format table|csv|mof|json] \"SELECT ...\" ...\n"
    "       sysquill-query [--host H] [--root DIR] --page NAME [--csv FILE]\n"
    "       sysquill-query --pages | --classes | --version | --help\n";

struct Options {
    std::string host = ".";
    std::string root;
    std::vector<std::string> queries;
    std::string page;
    std::string csvFile;
    bool listPages = false;
    bool listClasses = false;
    Format format = Format::Table;
};

// Returns an error text, or empty when the arguments are good.
std::string ParseArguments(int argc, char** argv, Options& options) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t n = 0; n < args.size(); ++n) {
        const std::string& a = args[n];
        auto value = [&](std::string& target) -> bool {
            if (n + 1 >= args.size()) return false;
            target = args[++n];
            return true;
        };
        if (a == "--host") {
            if (!value(options.host)) return "--host needs a value";
        } else if (a == "--root") {
            if (!value(options.root)) return "--root needs a value";
        } else if (a == "--format") {
            std::string name;
            if (!value(name) || !ParseFormat(name, options.format)) return "--format is one of table, csv, mof, json";
        } else if (a == "--page") {
            if (!value(options.page)) return "--page needs a name";
        } else if (a == "--csv") {
            if (!value(options.csvFile)) return "--csv needs a file";
        } else if (a == "--pages") {
            options.listPages = true;
        } else if (a == "--classes") {
            options.listClasses = true;
        } else if (a == "--help" || a == "-h") {
            return "help";
        } else if (a == "--version") {
            return "version";
        } else if (a == "--") {
            options.queries.insert(options.queries.end(), args.begin() + static_cast<long>(n) + 1, args.end());
            break;
        } else if (!a.empty() && a[0] == '-') {
            return "unknown option " + a;
        } else {
            options.queries.push_back(a);
        }
    }
    if (!options.listPages && !options.listClasses && options.page.empty() && options.queries.empty())
        return "no query given";
    return {};
}

// The classes this build's provider answers, one name a line, for
// completion and scripts.
int ListClasses(Output& out) {
    std::vector<std::string> names;
    for (const cimv2::ClassEntry& entry : cimv2::AllClasses()) names.push_back(entry.schema().Name());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) out << name << '\n';
    return 0;
}

}  // namespace

int RunQueryTool(int argc, char** argv, Output& out, Output& err) {
    Options options;
    std::string problem = ParseArguments(argc, argv, options);
    if (problem == "version") {
        out << "sysquill-query " << SYSQUILL_VERSION << '\n';
        return 0;
    }
    if (problem == "help") {
        out << kUsage;
        return 0;
    }
    // Text from the user or a machine reaches the terminal with its control
    // characters escaped.
    if (!problem.empty()) {
        err << "sysquill-query: " << cimv2::EscapeControls(problem) << '\n' << kUsage;
        return 2;
    }
    if (!options.root.empty()) {
        cimv2::SystemRoot root(options.root);
        // A tree that is not there is a mistake, not an empty machine.
        if (int error = root.OpenError()) {
            err << "sysquill-query: cannot read the tree \"" << cimv2::EscapeControls(options.root)
                << "\" given by --root: " << std::strerror(error) << '\n';
            return 2;
        }
        UseMachineAt(root);
    }
    // Values null for lack of rights or of a source are said on standard
    // error, whether a query or a page's fill met them; the status stays.
    NoteLines noteLines(err);
    struct NoteHandlerScope {
        wmi::SourceNoteHandler previous;
        ~NoteHandlerScope() { wmi::SetSourceNoteHandler(std::move(previous)); }
    } noteScope{wmi::SetSourceNoteHandler([&](const auto& notes) { noteLines.Print(notes); })};
    try {
        if (options.listPages) return ListPages(out, err);
        if (options.listClasses) return ListClasses(out);
        if (!options.page.empty()) return PrintPage(options.page, options.host, options.csvFile, out, err);
        // Several queries share one connection and print one after another.
        auto backend = wmi::OpenBackend(options.host);
        for (const auto& query : options.queries) {
            cimv2::QueryResult result = wmi::WithAutomationErrors([&] { return backend->ExecQuery(query); });
            WriteResult(out, result, options.format);
            noteLines.Print(result.notes);
        }
        out.Flush();
        return 0;
    } catch (const wmi::EOleException& e) {
        err << cimv2::EscapeControls(cimv2::FormatWbemError(e.what(), e.ErrorCode())) << '\n';
    } catch (const std::exception& e) {
        err << cimv2::EscapeControls(e.what()) << '\n';
    }
    return 1;
}

int RunQueryTool(int argc, char** argv, std::ostream& out, std::ostream& err) {
    StreamOutput o(out), e(err);
    return RunQueryTool(argc, argv, o, e);
}

}  // namespace cli
