#pragma once
// Runs kestrel-cli in process and captures its exit status, stdout and stderr.
#include "CliApp.h"

#include <sstream>
#include <string>
#include <vector>

namespace kestrel::test {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

inline CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), "kestrel-cli");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    int code = cli::RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

} // namespace kestrel::test
