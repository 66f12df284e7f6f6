#include "CliApp.h"

#include <iostream>

namespace kestrel::cli {

int RunCli(int argc, char** argv) { return RunCli(argc, argv, std::cout, std::cerr); }

int RunCli(int, char**, std::ostream&, std::ostream& err) {
    err << "kestrel-cli: no command\n";
    return kExitUsage;
}

} // namespace kestrel::cli
