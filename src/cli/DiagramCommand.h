#pragma once
// kestrel-cli diagram show, set, initial, check, asml and picture: an ASF state diagram as a
// listing or as JSON; a diagram made to hold exactly the states, reset, transitions, actions,
// signals and constants of a JSON model in that format (ports, frame, text object and header stay);
// the initial state chosen (the reset transition pointed at a state); the diagram's checks; the
// AsmL that Generate's FSM route makes of it; and its picture.
#include <CLI/CLI.hpp>

#include <iosfwd>
#include <string>

namespace kestrel::cli {

class DiagramCommands {
public:
    // Adds "diagram" with its subcommands to the application.
    explicit DiagramCommands(CLI::App& app);

    bool chosen() const { return chosen_ != Command::None; }
    int Run(std::ostream& out, std::ostream& err) const;

private:
    enum class Command { None, Show, Set, Initial, Check, Asml, Picture };
    // A subcommand of `diagram` on one diagram FILE that chooses `command`.
    CLI::App* Subcommand(CLI::App* diagram, const char* name, const std::string& description,
                         Command command);
    void AddShowAndSet(CLI::App* diagram);
    void AddInitialAndCheck(CLI::App* diagram);
    void AddAsmlAndPicture(CLI::App* diagram);
    int RunShow(std::ostream& out, std::ostream& err) const;
    int RunSet(std::ostream& out, std::ostream& err) const;
    int RunInitial(std::ostream& out, std::ostream& err) const;
    int RunCheck(std::ostream& out, std::ostream& err) const;
    int RunAsml(std::ostream& out, std::ostream& err) const;
    int RunPicture(std::ostream& out, std::ostream& err) const;

    Command chosen_ = Command::None;
    std::string diagram_;
    std::string model_;
    std::string state_;
    bool json_ = false;
    std::string project_;
    std::string function_;
    std::string picture_;
};

} // namespace kestrel::cli
