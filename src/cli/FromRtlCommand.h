#pragma once
// kestrel-cli from-rtl: a new project whose transactor is the bus master of a Verilog slave's
// AXI4-Lite, APB or Wishbone port, made, generated and ready to simulate in one command.
#include <CLI/CLI.hpp>

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::cli {

class FromRtlCommand {
public:
    explicit FromRtlCommand(CLI::App& app);
    bool chosen() const { return chosen_; }
    int Run(std::ostream& out, std::ostream& err) const;

private:
    bool chosen_ = false;
    std::string name_;
    std::string location_;
    std::vector<std::string> rtl_;
    std::string top_;
    std::string protocol_;
    std::optional<std::string> prefix_;
    std::string method_ = "fsm";
    std::vector<std::string> period_;
};

} // namespace kestrel::cli
