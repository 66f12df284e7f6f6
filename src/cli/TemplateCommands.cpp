// The template commands of kestrel-cli. asml-template writes Temp/template.asml and has
// kestrel-docgen (beside kestrel-cli) make the document, or with --plain writes only the
// template text where it is asked to, touching nothing of the project; asf-template writes
// the ASF template of one function. Each remembers the path it wrote in the project's
// assignment file (asml.dat, asf.dat), as the assignment dialog's OK would.
#include "TemplateCommands.h"

#include "CliApp.h"
#include "CliSupport.h"
#include "asml/AsmlTemplate.h"
#include "fsm/AsfTemplate.h"
#include "model/ProjectPaths.h"
#include "model/ProjectRecord.h"
#include "model/ProjectTables.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "project/ProjectCommands.h"

#include <algorithm>
#include <ostream>

namespace kestrel::cli {

TemplateCommands::TemplateCommands(CLI::App& app) {
    CLI::App* asml = app.add_subcommand(
        "asml-template",
        "Write the AsmL specification template (Temp/template.asml) and the word-processing "
        "document made from it at OUTPUT (Office Open XML, whatever the extension). With "
        "--plain, only the template text, to OUTPUT or to standard output");
    AddProjectArgument(asml, project_);
    asml->add_option("OUTPUT", output_,
                     "The document to write (a path without blanks); with --plain, the text "
                     "file to write (standard output without it)");
    asml->add_flag("--plain", plain_,
                   "Write the template text alone (the bytes of Temp/template.asml, which can "
                   "be filled in and assigned as the AsmL document as it is) and no document; "
                   "the project is left unchanged");
    asml->callback([this] { chosen_ = Command::Asml; });

    CLI::App* asf = app.add_subcommand(
        "asf-template",
        "Write the ASF state-diagram template of one TLM function: its signature and the RTL "
        "ports as the transactor sees them (input and output ports only: an sc_inout signal "
        "gets no port object)");
    AddProjectArgument(asf, project_);
    AddFunctionOption(asf, "FUNCTION", function_)->required();
    asf->add_option("OUTPUT", output_, "The .asf file to write")->required();
    asf->callback([this] { chosen_ = Command::Asf; });
}

int TemplateCommands::Run(std::ostream& out, std::ostream& err) const {
    switch (chosen_) {
    case Command::Asml: return RunAsml(out, err);
    case Command::Asf: return RunAsf(out, err);
    case Command::None: break;
    }
    return kExitUsage;
}

int TemplateCommands::RunAsml(std::ostream& out, std::ostream& err) const {
    if (plain_) return RunAsmlPlain(out, err);
    if (output_.empty()) {
        err << "kestrel-cli: asml-template: OUTPUT is required (or --plain)\n";
        return kExitUsage;
    }
    ProjectRecord record;
    if (std::optional<int> failed =
            TakeProject(ArgPath(project_), ProjectAccess::Read, record, err))
        return *failed;
    const std::string& folder = record.projectFolder;
    AsmlAssignment assignment;
    if (Status s = LoadAsmlAssignment(folder, assignment); !s) return PrintFileError(err, s);

    const std::string document = ArgPath(output_);
    LinuxProcessRunner processes;
    CommandOutcome outcome =
        GenerateAsmlTemplate(folder, document, assignment, DefaultDocumentConverter(processes));
    if (outcome.refusal) return PrintRefusal(err, *outcome.refusal);
    if (!outcome.status) return PrintFileError(err, outcome.status);
    if (Status s = SaveAsmlAssignment(folder, assignment); !s) return PrintFileError(err, s);
    out << "AsmL template written to " << Show(TempPath(folder, kAsmlTemplateFile)) << "\n"
        << "Document written to " << Show(document) << "\n";
    return kExitOk;
}

int TemplateCommands::RunAsmlPlain(std::ostream& out, std::ostream& err) const {
    ProjectRecord record;
    if (std::optional<int> failed =
            TakeProject(ArgPath(project_), ProjectAccess::Read, record, err))
        return *failed;
    std::string text;
    if (Status s = ProjectAsmlTemplateText(record.projectFolder, text); !s)
        return PrintFileError(err, s);
    if (output_.empty()) {
        out << text;
        return kExitOk;
    }
    const std::string path = ArgPath(output_);
    if (Status s = WriteFileAtomic(path, text); !s) return PrintFileError(err, s);
    out << "AsmL template text written to " << Show(path) << "\n";
    return kExitOk;
}

int TemplateCommands::RunAsf(std::ostream& out, std::ostream& err) const {
    ProjectRecord record;
    if (std::optional<int> failed =
            TakeProject(ArgPath(project_), ProjectAccess::Read, record, err))
        return *failed;
    const std::string& folder = record.projectFolder;
    TlmFunctionTable functions;
    if (Status s = LoadTlmFunctions(folder, functions); !s) return PrintFileError(err, s);

    const int number = FunctionNumber(functions, function_);

    AsfAssignment assignment;
    if (Status s = LoadAsfAssignment(folder, assignment); !s) return PrintFileError(err, s);
    const std::string path = ArgPath(output_);
    SystemClock clock;
    AsfTemplateOutcome outcome = GenerateAsfTemplate(folder, number, path, clock, assignment);
    if (outcome.refusal) return PrintRefusal(err, *outcome.refusal);
    if (!outcome.status) return PrintFileError(err, outcome.status);
    if (!outcome.written) return PrintFileError(err, outcome.written);
    if (Status s = SaveAsfAssignment(folder, assignment); !s) return PrintFileError(err, s);
    out << "ASF template of " << Show(functions[number].functionName.Text()) << "() written to "
        << Show(path) << "\n";
    return kExitOk;
}

} // namespace kestrel::cli
