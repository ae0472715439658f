#include <clocale>
#include <iostream>

#include "app/cli/LiveMachine.h"
#include "app/cli/QueryTool.h"

int main(int argc, char** argv) {
    // Dates and numbers print in the user's format, as the window shows them.
    std::setlocale(LC_ALL, "");
    cli::UseLiveMachine();
    return cli::RunQueryTool(argc, argv, std::cout, std::cerr);
}
