// kestrel-cli testbench / sim. Refusals (a port the RTL lacks, a width that differs, a
// project not generated yet, a bus the protocol check cannot find) exit 1 before anything is
// built; file errors exit 2; a simulation that fails, breaks the protocol it checks, stops at
// its time limit or does not build exits 1. The project keeps the Verilog given with --rtl
// and --top (rtl.json) for the runs without them, and its protocol.json is checked unless
// --protocol gives another protocol for the run.
#include "SimCommands.h"

#include "CheckCommand.h"
#include "CliApp.h"
#include "CliSupport.h"
#include "bus/BusMonitor.h"
#include "bus/ProtocolChoice.h"
#include "generate/Generate.h"
#include "generate/ProjectCheck.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/ProjectCommands.h"
#include "sim/BuildFailure.h"
#include "sim/RtlChoice.h"
#include "sim/Simulation.h"

#include <iostream>

namespace kestrel::cli {

void SimCommands::AddCommonOptions(CLI::App* command) {
    AddProjectArgument(command, project_);
    command->add_option("--rtl", rtl_,
                        "Verilog file(s) of the RTL design, verilated with Verilator; without "
                        "it the project's own (the files last given, or chosen in the window); "
                        "given, they replace those and the project keeps them");
    command->add_option("--top", top_,
                        "The Verilog top module (default: the files' own top); kept with the "
                        "project's files");
    command->add_flag("--no-rtl", noRtl_,
                      "Simulate against rtl.h, a SystemC module with the project's ports for you "
                      "to fill, instead of the project's Verilog (which it keeps)");
    command->add_option("--out", folder_, "The testbench folder (default Output/testbench)");
    command
        ->add_option("--define", defines_,
                     "NAME or NAME=VALUE: a preprocessor definition for every C++ file of "
                     "the testbench's build (repeat it for more)")
        ->allow_extra_args(false);
    command
        ->add_option("--include", includes_,
                     "A folder of headers for every C++ file of the testbench's build "
                     "(repeat it for more)")
        ->allow_extra_args(false);
    command->add_flag("--tlm2", tlm2_,
                      "Through the project's TLM-2.0 socket (its mapping: kestrel-cli tlm2): the "
                      "socket module in the transactor's place, an initiator socket bound to it, "
                      "and transactions_tlm2.cpp (yours: written only when missing)");
    command->add_option("--protocol", protocol_,
                        "Check the bus protocol on every clock edge: axi4-lite, apb or wishbone "
                        "(a monitor between the transactor, the master, and the RTL, the slave; "
                        "any violation fails the run). A project with protocol.json is checked "
                        "without it; given, it wins for this run");
    command->add_option("--prefix", prefix_,
                        "The prefix of the RTL's bus ports for the protocol check (default: the "
                        "project's, or the one prefix with a whole set of ports)");
    command->add_option("--hang-cycles", hangCycles_,
                        "Clock cycles a bus request may wait for its answer before the check "
                        "calls it a hang and stops the simulation (default 256)");
}

TestbenchRequest SimCommands::MakeRequest(const char* writer) const {
    TestbenchRequest request;
    request.projectFile = ArgPath(project_);
    for (const std::string& file : rtl_) request.rtlFiles.push_back(ArgPath(file));
    request.top = top_;
    if (!folder_.empty()) request.folder = ArgPath(folder_);
    for (const std::string& define : defines_) {
        if (std::string problem = DefineProblem(define); !problem.empty())
            throw UsageError(problem);
        request.defines.push_back(ArgText(define));
    }
    for (const std::string& include : includes_) {
        std::string path = ArgPath(include);
        if (!DirectoryExists(path)) throw UsageError("--include " + include + ": no such folder");
        request.includeFolders.push_back(path);
    }
    request.compatHeader = FindCompatHeader();
    request.writer = writer;
    request.tlm2 = tlm2_;
    return request;
}

namespace {

// Prints the refusals or the file error of a testbench; the exit status, or nothing when
// it was written.
std::optional<int> TestbenchFailure(const TestbenchResult& result, std::ostream& err) {
    if (!result.status) return PrintFileError(err, result.status);
    if (result.problems.empty()) return std::nullopt;
    for (const std::string& problem : result.problems)
        err << "kestrel-cli: " << Show(problem) << "\n";
    err << "kestrel-cli: no testbench written\n";
    return kExitRefused;
}

// The summary of a simulation that ran.
void PrintOutcome(const SimulationOutcome& outcome, std::ostream& out) {
    out << "\nTransactions completed: " << outcome.transactions << "\n"
        << "Simulated time: " << SimulatedTimeText(outcome) << "\n"
        << "Waveform: " << Show(outcome.waveform) << "\n";
    if (outcome.testbench.plan.monitor)
        out << "Protocol violations: "
            << (outcome.protocolViolations ? std::to_string(*outcome.protocolViolations)
                                           : std::string("not reported"))
            << "\n";
}

void PrintTestbench(const TestbenchResult& result, std::ostream& out) {
    if (!result.tlm2Module.empty())
        out << (result.tlm2ModuleWritten ? "Wrote " : "Unchanged ") << Show(result.tlm2Module)
            << "\n";
    out << "Testbench in " << Show(result.folder) << "\n";
    for (const std::string& name : result.written) out << "  wrote " << name << "\n";
    for (const std::string& name : result.unchanged) out << "  unchanged " << name << "\n";
    for (const std::string& name : result.kept) out << "  kept " << name << " (yours)\n";
    if (std::string resets = ResetsNotice(result); !resets.empty()) out << resets << "\n";
    if (std::string check = ProtocolCheckNotice(result); !check.empty()) out << check << "\n";
}

} // namespace

Status SimCommands::ChooseRtl(TestbenchRequest& request, std::ostream& out) const {
    if (noRtl_) {
        if (!rtl_.empty() || !top_.empty())
            throw UsageError("--no-rtl simulates rtl.h: it takes no --rtl or --top");
        return {};
    }
    ProjectRecord record;
    if (!PeekProject(request.projectFile, record)) return {}; // the testbench names the error
    std::optional<RtlChoice> kept;
    if (Status s = LoadRtlChoice(record.projectFolder, kept); !s) return s;
    if (!request.rtlFiles.empty()) {
        // A file that is not there is the testbench's to name, and is not kept.
        const RtlChoice given{request.rtlFiles, request.top};
        if (CheckRtlChoiceFiles(given, {}) && (!kept || *kept != given))
            return SaveRtlChoice(record.projectFolder, given);
        return {};
    }
    if (!kept) return {};
    if (!top_.empty() && kept->top != request.top) {
        kept->top = request.top;
        if (Status s = SaveRtlChoice(record.projectFolder, *kept); !s) return s;
    }
    if (Status s = CheckRtlChoiceFiles(
            *kept, "give the Verilog files again with --rtl, or simulate rtl.h with --no-rtl");
        !s)
        return s;
    request.rtlFiles = kept->files;
    request.top = kept->top;
    out << Show(RtlChoiceLine(*kept)) << "\n";
    return {};
}

Status SimCommands::ChooseProtocol(TestbenchRequest& request, std::ostream& err) const {
    if (!protocol_.empty() && !ParseBusProtocol(protocol_))
        throw UsageError("--protocol " + protocol_ + ": give one of " + BusProtocolNames());
    if (hangCycles_ && *hangCycles_ < 1)
        throw UsageError("--hang-cycles " + std::to_string(*hangCycles_) +
                         ": give at least 1 clock cycle");
    if (!protocol_.empty() || prefix_ || hangCycles_) {
        ProtocolCheckRequest check;
        check.protocol = protocol_;
        if (prefix_) check.prefix = ArgText(*prefix_);
        if (hangCycles_) check.hangCycles = *hangCycles_;
        request.protocol = check;
    }
    if (noRtl_ && request.protocol)
        throw UsageError("--no-rtl simulates rtl.h: the protocol check watches the Verilog's bus");
    if (Status armed = ArmProtocolCheck(request); !armed) return armed;
    if (noRtl_ && request.protocol) { // the project's own check, which rtl.h cannot take
        err << "kestrel-cli: warning: the project's protocol check (" << kProtocolChoiceFile
            << ") watches the Verilog's bus: this run with --no-rtl is not checked\n";
        request.protocol.reset();
    }
    return {};
}

SimCommands::SimCommands(CLI::App& app) {
    CLI::App* testbench = app.add_subcommand(
        "testbench",
        "Write a testbench folder for the generated transactor: sc_main.cpp (clock, signals, "
        "transactor and RTL bound to them, VCD trace, time limit), kestrel_pins.h, rtl_pins.h, "
        "transactions.cpp (yours: written only when missing), rtl.h (without --rtl; yours), "
        "reset.h (yours: the RTL's inputs named as resets held for a few clock cycles) and "
        "CMakeLists.txt, so that `cmake -S DIR -B DIR/build && cmake --build DIR/build` builds "
        "`sim` without Kestrel");
    AddCommonOptions(testbench);
    testbench->callback([this] { chosen_ = Command::Testbench; });

    CLI::App* sim = app.add_subcommand(
        "sim",
        "Generate, write the testbench, build it (compile errors mapped back to the behaviour) "
        "and run the simulation: prints its output, the transactions completed, the simulated "
        "time and where the waveform is. Exit 1 when it does not build, fails a check, breaks "
        "the bus protocol it checks (--protocol, or the project's protocol.json) or reaches its "
        "time limit");
    AddCommonOptions(sim);
    sim->add_option("--until", until_,
                    "Simulated-time limit, e.g. 50us or \"2 ms\" (default 1 ms)");
    sim->add_flag("--no-generate", noGenerate_, "Use the generated files as they are");
    sim->callback([this] { chosen_ = Command::Sim; });
}

int SimCommands::Run(std::ostream& out, std::ostream& err) const {
    switch (chosen_) {
    case Command::Testbench: return RunTestbench(out, err);
    case Command::Sim: return RunSim(out, err);
    case Command::None: break;
    }
    return kExitUsage;
}

int SimCommands::RunTestbench(std::ostream& out, std::ostream& err) const {
    TestbenchRequest request = MakeRequest(kWriterTestbench);
    if (Status s = ChooseRtl(request, out); !s) return PrintFileError(err, s);
    if (Status s = ChooseProtocol(request, err); !s) return PrintFileError(err, s);
    TestbenchResult result = WriteTestbench(request);
    if (std::optional<int> failed = TestbenchFailure(result, err)) return *failed;
    PrintTestbench(result, out);
    return kExitOk;
}

int SimCommands::RunSim(std::ostream& out, std::ostream& err) const {
    SimulationRequest request;
    request.testbench = MakeRequest(kWriterSim);
    if (Status s = ChooseRtl(request.testbench, out); !s) return PrintFileError(err, s);
    if (Status s = ChooseProtocol(request.testbench, err); !s) return PrintFileError(err, s);
    request.until = until_;
    if (!noGenerate_) {
        GenerationSession session;
        SystemClock clock;
        GenerateProjectResult generated =
            GenerateProject(ArgPath(project_), session, clock, nullptr);
        if (!generated.status) return PrintFileError(err, generated.status);
        if (generated.errorCount > 0) {
            // The errors where they were made, as check prints them.
            GenerationSession checking;
            CheckResult check = CheckProject(ArgPath(project_), checking, clock);
            if (check.status)
                for (const Diagnostic& diagnostic : check.diagnostics)
                    err << FormatDiagnostic(diagnostic) << "\n";
            err << "kestrel-cli: Generate logged " << generated.errorCount
                << " error(s); nothing was simulated\n";
            return kExitRefused;
        }
        out << "Generated the transactor\n";
    }
    SimulationEvents events;
    events.step = [&](std::string_view step) { out << "== " << step << std::endl; };
    events.simLine = [&](std::string_view line) { out << line << std::endl; };
    events.notice = [&](std::string_view notice) { out << "sim: " << notice << std::endl; };
    SimulationOutcome outcome = RunSimulation(request, events);
    if (outcome.reached == SimulationStep::Testbench) {
        if (std::optional<int> failed = TestbenchFailure(outcome.testbench, err)) return *failed;
    }
    if (outcome.timedOut) {
        err << "kestrel-cli: the "
            << (outcome.reached == SimulationStep::Run ? "simulation" : "build")
            << " ran past its time-out and was stopped\n";
        return kExitRefused;
    }
    if (!outcome.status) return PrintFileError(err, outcome.status);
    if (outcome.reached == SimulationStep::Configure || outcome.reached == SimulationStep::Build) {
        // The failed tool's own lines; the compiler's at the lines the user wrote.
        BuildFailureReport failure = DescribeBuildFailure(outcome);
        err << failure.lines << "kestrel-cli: the simulation did not build: " << failure.what
            << "\n";
        return kExitRefused;
    }
    PrintOutcome(outcome, out);
    if (outcome.exitCode != 0) {
        err << "kestrel-cli: " << SimulationEndText(outcome) << "\n";
        return kExitRefused;
    }
    return kExitOk;
}

} // namespace kestrel::cli
