#include "app/cli/QueryTool.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/cli/InstanceFormat.h"
#include "app/cli/LiveMachine.h"
#include "app/cli/NoteLines.h"
#include "app/cli/PageCommands.h"
#include "app/cli/QueryArguments.h"
#include "app/cli/QueryHints.h"
#include "cimv2/core/SafeText.h"
#include "cimv2/provider/ClassRegistry.h"
#include "wmi/SourceNoteChannel.h"
#include "wmi/WbemScripting.h"

namespace cli {

namespace {

constexpr const char* kUsage =
    "usage: sysquill-query [-H|--host H] [-r|--root DIR] [-f|--format table|csv|mof|json] \"SELECT ...\" ...\n"
    "       sysquill-query [-H|--host H] [-r|--root DIR] [-f|--format table|csv|json] --page NAME\n"
    "       sysquill-query [-H|--host H] [-r|--root DIR] --page NAME --csv FILE\n"
    "       sysquill-query --pages | --classes | --version | --help\n";

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
    QueryOptions options;
    std::string problem = ParseQueryArguments(std::vector<std::string>(argv + 1, argv + argc), options);
    if (options.version) {
        out << "sysquill-query " << SYSQUILL_VERSION << '\n';
        return 0;
    }
    if (options.help) {
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
    // The query that is running, for the hints after its error.
    const std::string* running = nullptr;
    try {
        if (options.listPages) return ListPages(out, err);
        if (options.listClasses) return ListClasses(out);
        if (!options.page.empty())
            return PrintPage(options.page, options.host, options.csvFile, options.format, out, err);
        // Several queries share one connection and print one after another;
        // as JSON they are one document, printed once every query has run.
        const bool oneDocument = options.format == Format::Json && options.queries.size() > 1;
        std::vector<cimv2::QueryResult> results;
        auto backend = wmi::OpenBackend(options.host);
        for (const auto& query : options.queries) {
            running = &query;
            cimv2::QueryResult result = wmi::WithAutomationErrors([&] { return backend->ExecQuery(query); });
            if (!oneDocument) WriteResult(out, result, options.format);
            noteLines.Print(result.notes);
            if (oneDocument) results.push_back(std::move(result));
        }
        if (oneDocument) WriteJsonResults(out, results);
        out.Flush();
        return 0;
    } catch (const wmi::EOleException& e) {
        err << cimv2::EscapeControls(cimv2::FormatWbemError(e.what(), e.ErrorCode())) << '\n';
        if (running)
            for (const std::string& hint : QueryHints(*running, e.ErrorCode()))
                err << "sysquill-query: " << cimv2::EscapeControls(hint) << '\n';
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
