// The command table of the main window: menus File, Transactor and Help with their
// separators, the sixteen-place toolbar (separators at 1, 4, 7, 9, 12 and 15), and the
// stage from which each command is offered.
#include "AppCommands.h"

#include <array>

namespace kestrel {

namespace {

using C = AppCommand;

constexpr std::array<CommandSpec, 14> kCommands = {{
    {C::NewProject, "MenuNewProject", "New Project", "Create New Project", ":/icons/new.svg", 0,
     false},
    {C::NewProjectFromRtl, "MenuNewProjectFromRtl", "New Project from Verilog...", nullptr, nullptr,
     0, false},
    {C::OpenProject, "MenuOpenProject", "Open Project", "Open Existing Project", ":/icons/open.svg",
     0, false},
    {C::CloseProject, "MenuCloseProject", "Close Project", nullptr, nullptr, 1, true},
    {C::AddLibrary, "MenuAddLibrary", "Add Library", "Add Library", ":/icons/library.svg", 1,
     false},
    {C::Exit, "MenuExit", "Exit", nullptr, nullptr, kAlwaysOffered, false},
    {C::TlmInterface, "MenuTLM", "TLM Interface", "TLM Interface", ":/icons/tlm.svg", 1, false},
    {C::RtlInterface, "MenuRTL", "RTL Interface", "RTL Interface", ":/icons/rtl.svg", 1, false},
    {C::AsmlSpecification, "MenuAsmL", "AsmL Specification", "AsmL Specification",
     ":/icons/asml.svg", 2, true},
    {C::FsmSpecification, "MenuFSM", "Graphical FSM Specification", "Graphical FSM Specification",
     ":/icons/fsm.svg", 2, true},
    {C::CodeSettings, "MenuOption", "Code Settings", "Code Settings", ":/icons/settings.svg", 1,
     true},
    {C::Generate, "MenuGen", "Generate SystemC Transactor", "Generate SystemC Transactor",
     ":/icons/generate.svg", 3, true},
    {C::HelpTopics, "MenuHelpTopic", "Help Topics", "Help on SystemC Transactor Generation",
     ":/icons/help.svg", kAlwaysOffered, false},
    {C::About, "MenuAbout", "About", nullptr, nullptr, kAlwaysOffered, false},
}};

constexpr std::optional<AppCommand> kSeparator = std::nullopt;

constexpr std::array<std::optional<AppCommand>, 8> kFileItems = {
    C::NewProject, C::NewProjectFromRtl, C::OpenProject, C::CloseProject,
    kSeparator,    C::AddLibrary,        kSeparator,     C::Exit};
constexpr std::array<std::optional<AppCommand>, 8> kTransactorItems = {
    C::TlmInterface,     C::RtlInterface, kSeparator,      C::AsmlSpecification,
    C::FsmSpecification, kSeparator,      C::CodeSettings, C::Generate};
constexpr std::array<std::optional<AppCommand>, 3> kHelpItems = {C::HelpTopics, kSeparator,
                                                                 C::About};

const std::array<MenuSpec, 3> kMenus = {{
    {"MenuFile", "&File", kFileItems},
    {"MenuTransactor", "&Transactor", kTransactorItems},
    {"MenuHelp", "&Help", kHelpItems},
}};

constexpr std::array<std::optional<AppCommand>, 16> kToolbar = {
    kSeparator,      C::NewProject,        C::OpenProject,      kSeparator,
    C::TlmInterface, C::RtlInterface,      kSeparator,          C::AddLibrary,
    kSeparator,      C::AsmlSpecification, C::FsmSpecification, kSeparator,
    C::CodeSettings, C::Generate,          kSeparator,          C::HelpTopics};

} // namespace

std::span<const CommandSpec> CommandTable() {
    return kCommands;
}

const CommandSpec& Spec(AppCommand command) {
    for (const CommandSpec& spec : kCommands) {
        if (spec.command == command) return spec;
    }
    return kCommands.front();
}

std::span<const MenuSpec> MenuTable() {
    return kMenus;
}

std::span<const std::optional<AppCommand>> ToolbarTable() {
    return kToolbar;
}

bool OfferedAtStage(AppCommand command, int stage) {
    const int minimum = Spec(command).minimumStage;
    return minimum == kAlwaysOffered || stage >= minimum;
}

} // namespace kestrel
