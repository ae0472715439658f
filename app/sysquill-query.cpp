#include <iostream>

#include "app/cli/QueryTool.h"
#include "remote/SshTransport.h"

int main(int argc, char** argv) {
    remote::InstallSshTransport();
    return cli::RunQueryTool(argc, argv, std::cout, std::cerr);
}
