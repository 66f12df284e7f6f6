#pragma once
// kestrel-cli asml-template and asf-template: the two template commands of the assignment
// dialogs without their questions (the save dialog's path comes from the command line; the
// template is not opened afterwards). Refusals print the dialog's message and exit 1.
#include <CLI/CLI.hpp>

#include <iosfwd>
#include <string>

namespace kestrel::cli {

class TemplateCommands {
public:
    // Adds both subcommands to the application.
    explicit TemplateCommands(CLI::App& app);

    // True when the command line chose one of them.
    bool chosen() const { return chosen_ != Command::None; }
    int Run(std::ostream& out, std::ostream& err) const;

private:
    enum class Command { None, Asml, Asf };
    int RunAsml(std::ostream& out, std::ostream& err) const;
    int RunAsmlPlain(std::ostream& out, std::ostream& err) const;
    int RunAsf(std::ostream& out, std::ostream& err) const;

    Command chosen_ = Command::None;
    std::string project_;
    std::string function_;
    std::string output_;
    bool plain_ = false;
};

} // namespace kestrel::cli
