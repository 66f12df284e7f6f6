#pragma once
// The commands of the main window as one table: each command's menu item, toolbar button,
// tool tip, icon and the project stage from which it is offered. The menus and the
// toolbar are built from it, and EnDisMDI enables by it.
#include <optional>
#include <span>

namespace kestrel {

enum class AppCommand {
    NewProject,
    NewProjectFromRtl,
    OpenProject,
    CloseProject,
    AddLibrary,
    Exit,
    TlmInterface,
    RtlInterface,
    AsmlSpecification,
    FsmSpecification,
    CodeSettings,
    Generate,
    HelpTopics,
    About,
};

// Commands that EnDisMDI leaves alone are offered at every stage.
inline constexpr int kAlwaysOffered = -1;

struct CommandSpec {
    AppCommand command;
    const char* menuName;    // object name of the menu item
    const char* caption;     // menu caption
    const char* toolTip;     // tool tip of its toolbar button, if it has one
    const char* icon;        // resource path of the icon, if it has one
    int minimumStage;        // stage from which EnDisMDI(true) enables it, or kAlwaysOffered
    bool disabledWithWindow; // EnDisMDI(false) disables its menu item itself
};

std::span<const CommandSpec> CommandTable();
const CommandSpec& Spec(AppCommand command);

// The menus, in order; an empty entry is a separator.
struct MenuSpec {
    const char* name;
    const char* caption;
    std::span<const std::optional<AppCommand>> items;
};
std::span<const MenuSpec> MenuTable();

// ToolbarMain's sixteen buttons, numbered from 1 (index 0 is button 1); an empty entry is
// a separator.
std::span<const std::optional<AppCommand>> ToolbarTable();

// Whether EnDisMDI(true) enables the command at the given stage.
bool OfferedAtStage(AppCommand command, int stage);

} // namespace kestrel
