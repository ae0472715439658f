#include <iostream>

#include "app/cli/QueryTool.h"

int main(int argc, char** argv) { return cli::RunQueryTool(argc, argv, std::cout, std::cerr); }
