#pragma once
// The commands of kestrel-cli. RunCli parses the command line and runs one command.
// Exit status: 0 ok, 1 refused or errors logged, 2 usage or file error.
#include <iosfwd>

namespace kestrel::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

int RunCli(int argc, char** argv);
// The same, with the streams given (tests capture them).
int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace kestrel::cli
