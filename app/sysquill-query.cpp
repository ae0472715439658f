#include <clocale>
#include <iostream>

#include "app/cli/LiveMachine.h"
#include "app/cli/QueryTool.h"

int main(int argc, char** argv) {
    // Dates and numbers print in the user's format, as the window shows them.
    // Only the categories the tool uses are set: each is files to load at
    // every start, and the tool starts once per query.
    for (int category : {LC_CTYPE, LC_NUMERIC, LC_TIME, LC_MESSAGES}) std::setlocale(category, "");
    cli::UseLiveMachine();
    return cli::RunQueryTool(argc, argv, std::cout, std::cerr);
}
