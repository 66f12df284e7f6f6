// The from-rtl command of kestrel-cli. The words of the command line are checked here (a bad
// protocol, method or period is a usage error); the rest is the core's MakeProjectFromRtl,
// whose refusals (a bus port missing, ambiguous or too wide, a project folder that exists)
// exit 1 with nothing made, and whose file and tool errors exit 2. What it does at length
// (Verilator, Generate) is said as it starts.
#include "FromRtlCommand.h"

#include "CliApp.h"
#include "CliSupport.h"
#include "bus/FromRtl.h"
#include "model/ProjectOptions.h"
#include "platform/FileSystem.h"

#include <charconv>
#include <ostream>

namespace kestrel::cli {

namespace {

// --period N UNIT: a whole number and a time unit.
void ReadPeriod(const std::vector<std::string>& words, FromRtlRequest& request) {
    if (words.empty()) return;
    const std::string& number = words[0];
    int period = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), period);
    if (error != std::errc() || end != number.data() + number.size())
        throw UsageError("--period: \"" + number + "\" is not a whole number");
    request.period = period;
    request.unit = words[1];
    if (std::string problem = PeriodProblem(request.period, request.unit); !problem.empty())
        throw UsageError("--period: " + problem);
    request.unit = std::string(kTimeUnits[static_cast<std::size_t>(*TimeUnitIndexOf(words[1]))]);
}

} // namespace

FromRtlCommand::FromRtlCommand(CLI::App& app) {
    CLI::App* command = app.add_subcommand(
        "from-rtl",
        "Make a new project NAME whose transactor is the bus master of a Verilog slave: finds "
        "the slave's AXI4-Lite, APB or Wishbone ports (after a prefix, letter case ignored), "
        "declares them and the functions write(address, data[, strobe], response) and "
        "read(address, data, response), writes their behaviour as state diagrams (or AsmL), "
        "keeps the Verilog, the protocol and a TLM-2.0 socket mapping with the project, "
        "generates, and prints the sim command to run");
    command->add_option("NAME", name_, "Project name")->required();
    command->add_option("--location", location_,
                        "Folder that receives the project folder (default: current folder)");
    command->add_option("--rtl", rtl_, "The slave's Verilog file(s)")->required()->expected(1, -1);
    command->add_option("--top", top_, "The Verilog top module (default: the files' own top)");
    command->add_option("--protocol", protocol_, "The slave port's bus: " + BusProtocolNames())
        ->required()
        ->transform([](const std::string& word) -> std::string {
            if (!ParseBusProtocol(word))
                throw CLI::ValidationError("--protocol",
                                           "\"" + word + "\" is none of " + BusProtocolNames());
            return std::string(BusProtocolName(*ParseBusProtocol(word)));
        });
    command->add_option("--prefix", prefix_,
                        "The prefix of the bus ports (default: found when only one set is there)");
    command->add_option("--method", method_, "The behaviour: state diagrams (fsm) or AsmL (asml)")
        ->check(CLI::IsMember({"fsm", "asml"}));
    command->add_option("--period", period_, "Clock period: N UNIT (default 10 SC_NS)")
        ->expected(2);
    command->callback([this] { chosen_ = true; });
}

int FromRtlCommand::Run(std::ostream& out, std::ostream& err) const {
    FromRtlRequest request;
    request.name = ArgText(name_);
    request.location = location_.empty() ? ArgPath(".") : ArgPath(location_);
    for (const std::string& file : rtl_) {
        request.rtlFiles.push_back(ArgPath(file));
        if (!FileExists(request.rtlFiles.back()))
            throw UsageError("--rtl: " + Show(request.rtlFiles.back()) + " is not a file");
    }
    request.top = ArgText(top_);
    request.protocol = *ParseBusProtocol(protocol_);
    if (prefix_) request.prefix = ArgText(*prefix_);
    request.asml = method_ == "asml";
    ReadPeriod(period_, request);

    const FromRtlResult result = MakeProjectFromRtl(request, [&out](const std::string& line) {
        out << Show(line) << "\n" << std::flush;
    });
    for (const std::string& problem : result.problems)
        err << "kestrel-cli: " << Show(problem) << "\n";
    if (!result.problems.empty()) return kExitRefused;
    if (!result.status) return PrintFileError(err, result.status);
    return kExitOk;
}

} // namespace kestrel::cli
