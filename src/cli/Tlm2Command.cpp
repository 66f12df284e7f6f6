// The tlm2 command of kestrel-cli. The project's kept mapping (tlm2.json) is the starting
// point and the flags change only what they name; without a kept mapping the rest is proposed
// from the declarations and each choice is printed as a note. A mapping the rules refuse, or
// a module that cannot be resolved (no clock port, no transactor class), changes nothing and
// exits 1; otherwise the mapping is saved and the module written beside the transactor
// header, unless --dry-run asks only for the choice.
#include "Tlm2Command.h"

#include "CliApp.h"
#include "CliSupport.h"
#include "generate/RunTables.h"
#include "model/ProjectRecord.h"
#include "model/ProjectTables.h"
#include "tlm2/Tlm2Mapping.h"

#include <ostream>

namespace kestrel::cli {

namespace {

std::optional<std::string> Text(const std::optional<std::string>& utf8) {
    if (!utf8) return std::nullopt;
    return ArgText(*utf8);
}

int Refuse(std::ostream& err, const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) err << "kestrel-cli: " << Show(problem) << "\n";
    return kExitRefused;
}

} // namespace

Tlm2Command::Tlm2Command(CLI::App& app) {
    CLI::App* command = app.add_subcommand(
        "tlm2",
        "Choose the TLM-2.0 target socket of the project (kept in tlm2.json in its folder) and "
        "write the socket module <transactor header>_tlm2.h beside the transactor header; "
        "every Generate writes it again. Without flags the mapping is proposed from the "
        "declarations (a kept mapping is kept) and each choice is printed");
    AddProjectArgument(command, project_);
    command->add_option("--write", write_, "The TLM function that is the bus write");
    command->add_option("--read", read_, "The TLM function that is the bus read");
    const char* both = " (NAME for both functions, or WRITE,READ)";
    command->add_option("--address", address_,
                        std::string("The parameter carrying the address") + both);
    command->add_option("--data", data_,
                        std::string("The parameter carrying the data: by value for the write, "
                                    "by reference for the read") +
                            both);
    command->add_option("--strobe", strobe_,
                        "The write's byte strobe parameter (by value; \"\" for none)");
    command->add_option("--response", response_,
                        std::string("The response parameter, by reference: 0 OK, 3 decode "
                                    "error, else error (\"\" for none)") +
                            both);
    command->add_option("--base", base_, "The first address of the target (decimal or 0x hex)");
    command->add_option("--size", size_,
                        "The target's size in bytes (default: the address type's range)");
    command
        ->add_option("--fixed", fixed_,
                     "NAME=VALUE ...: the value passed to another parameter the functions read "
                     "(a whole number, or true or false for a bool)")
        ->expected(1, -1);
    command->add_flag("--dry-run", dryRun_,
                      "Print the choice only: save no mapping and write no module");
    command->callback([this] { chosen_ = true; });
}

int Tlm2Command::Run(std::ostream& out, std::ostream& err) const {
    ProjectRecord record;
    if (std::optional<int> failed =
            TakeProject(ArgPath(project_), ProjectAccess::Read, record, err))
        return *failed;
    const std::string& folder = record.projectFolder;
    auto tables = std::make_unique<ProjectTables>();
    if (Status s = LoadProjectLook(folder, *tables); !s) return PrintFileError(err, s);
    std::optional<Tlm2Mapping> kept;
    if (Status s = LoadTlm2Mapping(folder, kept); !s) return PrintFileError(err, s);

    Tlm2Request request;
    request.write = Text(write_);
    request.read = Text(read_);
    request.address = Text(address_);
    request.data = Text(data_);
    request.strobe = Text(strobe_);
    request.response = Text(response_);
    request.base = Text(base_);
    request.size = Text(size_);
    for (const std::string& entry : fixed_) request.fixed.push_back(ArgText(entry));
    const Tlm2Choice choice =
        ChooseTlm2Mapping(tables->functions, request, kept ? &*kept : nullptr);
    for (const std::string& note : choice.notes) out << Show(note) << "\n";
    if (!choice.mapping) return Refuse(err, choice.problems);

    if (dryRun_) {
        Tlm2Module module;
        std::vector<std::string> problems =
            ResolveTlm2Module(record.projectName, *tables, *choice.mapping, module);
        return problems.empty() ? kExitOk : Refuse(err, problems);
    }
    const Tlm2KeepResult written =
        KeepTlm2Mapping(record.projectName, folder, *tables, *choice.mapping, kWriterTlm2Command);
    if (!written.problems.empty()) return Refuse(err, written.problems);
    if (written.mappingSaved) out << "wrote " << Show(Tlm2MappingPath(folder)) << "\n";
    if (!written.status) return PrintFileError(err, written.status);
    out << "wrote " << Show(written.written) << "\n";
    return kExitOk;
}

} // namespace kestrel::cli
