#pragma once
// kestrel-cli testbench and sim: the testbench folder of a generated project (against the
// user's Verilog through Verilator, or an RTL module to fill), and one command from the
// project to a finished simulation with its transcript and waveform.
#include "platform/Status.h"

#include <CLI/CLI.hpp>

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {
struct TestbenchRequest;
}

namespace kestrel::cli {

class SimCommands {
public:
    explicit SimCommands(CLI::App& app);

    bool chosen() const { return chosen_ != Command::None; }
    int Run(std::ostream& out, std::ostream& err) const;

private:
    enum class Command { None, Testbench, Sim };
    void AddCommonOptions(CLI::App* command);
    kestrel::TestbenchRequest MakeRequest(const char* writer) const;
    // The RTL of the run: the files given (kept with the project), the project's (said in a
    // line), or rtl.h with --no-rtl.
    Status ChooseRtl(kestrel::TestbenchRequest& request, std::ostream& out) const;
    // The protocol check of the run: asked for, or the project's (protocol.json).
    Status ChooseProtocol(kestrel::TestbenchRequest& request, std::ostream& err) const;
    int RunTestbench(std::ostream& out, std::ostream& err) const;
    int RunSim(std::ostream& out, std::ostream& err) const;

    Command chosen_ = Command::None;
    std::string project_;
    std::vector<std::string> rtl_;
    std::string top_;
    std::string folder_;
    std::vector<std::string> defines_;
    std::vector<std::string> includes_;
    std::string until_;
    bool noGenerate_ = false;
    bool tlm2_ = false;
    bool noRtl_ = false;
    std::string protocol_;
    std::optional<std::string> prefix_;
    std::optional<int> hangCycles_;
};

} // namespace kestrel::cli
