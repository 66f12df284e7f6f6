#pragma once
// Small helpers shared by the kestrel-cli commands: argument text to stored text,
// stored text to the terminal, and the exit status of an outcome.
#include "model/ProjectRecord.h"
#include "model/TlmFunction.h"
#include "platform/Status.h"
#include "project/InputRefusal.h"

#include <CLI/CLI.hpp>

#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::cli {

// Raised for a command-line argument that cannot be used; RunCli turns it into exit 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A command-line text (UTF-8) as stored text (Windows-1252).
std::string ArgText(std::string_view utf8);
// A command-line path, made absolute, as stored text.
std::string ArgPath(std::string_view utf8);
// Stored text for the terminal.
std::string Show(std::string_view stored);

// The PROJECT argument of a command on one project's .tp file.
void AddProjectArgument(CLI::App* command, std::string& project);
// An argument or option `name` that names a TLM function (see FunctionNumber).
CLI::Option* AddFunctionOption(CLI::App* command, const std::string& name, std::string& function);
// A --method option that takes fsm, asml or template.
CLI::Option* AddMethodOption(CLI::App* command, std::string& method,
                             const std::string& description);

// Prints a refusal's text to err; returns 1.
int PrintRefusal(std::ostream& err, const InputRefusal& refusal);
// Prints a file error to err; returns 2.
int PrintFileError(std::ostream& err, const Status& status);
// Prints a note naming the project folders an opening had to make, if any.
void PrintCreatedFolders(std::ostream& err, const std::vector<std::string>& created);

// The slot of a TLM function given on the command line: its name first, its number from
// 1 when no function has that name. A usage error when there is neither.
int FunctionNumber(const TlmFunctionTable& functions, std::string_view utf8);

// How a command takes its project: opened as the window opens it (the project file is
// saved back), or only read.
enum class ProjectAccess { Open, Read };
// Opens or reads the project of a command and names the project folders it had to make.
// Gives the exit status when the project file could not be used (the error is printed).
std::optional<int> TakeProject(std::string_view tpPath, ProjectAccess access, ProjectRecord& record,
                               std::ostream& err);

// Prints the warning of a project whose generated files are set to go outside it (a copy
// that still names the folder it came from), as "kestrel-cli: warning: ...". Nothing is
// printed for a project file that cannot be read: the command itself reports that.
void WarnOfMisplacedOutput(std::string_view tpPath, std::ostream& err);

} // namespace kestrel::cli
