#include <algorithm>
#include <clocale>
#include <cstring>

#include "app/cli/LiveMachine.h"
#include "app/cli/Output.h"
#include "app/cli/QueryTool.h"

int main(int argc, char** argv) {
    // Messages come in the user's language and character set, and a page
    // shows dates and numbers in the user's format, as the window does. Only
    // the categories the tool uses are set: each is files to load at every
    // start, and the tool starts once per query.
    for (int category : {LC_CTYPE, LC_MESSAGES}) std::setlocale(category, "");
    if (std::any_of(argv + 1, argv + argc, [](const char* arg) {
            return std::strcmp(arg, "--page") == 0 || std::strncmp(arg, "--page=", 7) == 0;
        }))
        for (int category : {LC_NUMERIC, LC_TIME}) std::setlocale(category, "");
    cli::UseLiveMachine();
    // Results are written in large pieces, errors as they come.
    cli::FileOutput out(1);
    cli::FileOutput err(2, out);
    int status = cli::RunQueryTool(argc, argv, out, err);
    out.Flush();
    if (int error = out.Error()) {
        err << "sysquill-query: cannot write the output: " << std::strerror(error) << '\n';
        return status ? status : 1;
    }
    return status;
}
