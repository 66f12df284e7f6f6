#pragma once
// kestrel-cli assign-fsm, unassign-fsm, assign-asml and unassign-asml: one change made in
// an assignment window followed by its OK (the file copied into Input, the table or
// asml.dat saved, stage 3), with the windows' refusals for library functions.
#include <CLI/CLI.hpp>

#include <iosfwd>
#include <string>

namespace kestrel::cli {

class AssignCommands {
public:
    // Adds the four subcommands to the application.
    explicit AssignCommands(CLI::App& app);

    // True when the command line chose one of them.
    bool chosen() const { return chosen_ != Command::None; }
    int Run(std::ostream& out, std::ostream& err) const;

private:
    enum class Command { None, AssignFsm, UnassignFsm, AssignAsml, UnassignAsml };
    int RunFsm(bool assign, std::ostream& out, std::ostream& err) const;
    int RunAsml(bool assign, std::ostream& out, std::ostream& err) const;

    Command chosen_ = Command::None;
    std::string project_;
    std::string function_;
    std::string file_;
};

} // namespace kestrel::cli
