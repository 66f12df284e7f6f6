#pragma once
// kestrel-cli diagram show and diagram set: an ASF state diagram as a listing or as JSON,
// and a diagram made to hold exactly the states, reset, transitions, actions, signals and
// constants of a JSON model in that format (ports, frame, text object and header stay).
#include <CLI/CLI.hpp>

#include <iosfwd>
#include <string>

namespace kestrel::cli {

class DiagramCommands {
public:
    // Adds "diagram" with its subcommands "show" and "set" to the application.
    explicit DiagramCommands(CLI::App& app);

    bool chosen() const { return chosen_ != Command::None; }
    int Run(std::ostream& out, std::ostream& err) const;

private:
    enum class Command { None, Show, Set };
    int RunShow(std::ostream& out, std::ostream& err) const;
    int RunSet(std::ostream& out, std::ostream& err) const;

    Command chosen_ = Command::None;
    std::string diagram_;
    std::string model_;
    bool json_ = false;
};

} // namespace kestrel::cli
