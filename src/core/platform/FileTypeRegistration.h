#pragma once
// Registration of the project file type with the desktop, the freedesktop way: a MIME
// type for *.tp ("Transactor Project") and a desktop entry whose command opens the file,
// written under the user's data folder. Done at every start; a failure is reported as a
// status and never stops the program. Paths here are paths of this machine (UTF-8).
#include "platform/Process.h"
#include "platform/Status.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

inline constexpr const char* kProjectMimeType = "application/x-kestrel-project";
inline constexpr const char* kProjectTypeDescription = "Transactor Project";
// ASF state diagrams share *.asf with a video format: the type is told by the first line.
inline constexpr const char* kDiagramMimeType = "application/x-kestrel-state-diagram";
inline constexpr const char* kDiagramTypeDescription = "State Diagram";
inline constexpr const char* kDiagramFirstLine = "VERSION=1.19";
inline constexpr const char* kDesktopEntryName = "kestrel.desktop";
inline constexpr const char* kMimePackageName = "kestrel-project.xml";

struct FileTypeRegistration {
    std::filesystem::path dataHome;     // $XDG_DATA_HOME, else ~/.local/share
    std::filesystem::path programPath;  // the executable the desktop entry starts
    std::filesystem::path documentIcon; // icon of .tp files; empty or missing: none
    std::filesystem::path programIcon;  // icon of the program; empty or missing: none
};

// The user's data folder: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share; empty when neither is known. Arguments may be null.
std::filesystem::path UserDataHome(const char* xdgDataHome, const char* home);

// The shared-mime-info package that maps *.tp to the project type, and *.asf files that
// begin with the diagram's first line to the state-diagram type (other *.asf files, such
// as video, keep their own type: the glob alone does not decide between the two).
std::string ProjectMimePackage();

// One argument of a desktop entry's Exec line: quoted when it holds a reserved
// character, with the escapes of a quoted argument and of a string value.
std::string DesktopExecArgument(std::string_view argument);

// The desktop entry; its command is the program followed by the file (%f), a project or
// a state diagram.
// Fails for a path that a desktop entry cannot hold (one with a line break).
Status DesktopEntryText(const FileTypeRegistration& registration, std::string& text);

// Writes (replacing) the MIME package, the document icon and the desktop entry:
//   <dataHome>/mime/packages/kestrel-project.xml
//   <dataHome>/icons/hicolor/scalable/mimetypes/application-x-kestrel-project.svg
//   <dataHome>/applications/kestrel.desktop
// A file that already holds the right bytes is left alone; `changed`, when given, tells
// whether any file was written (and so whether the databases need a refresh).
Status RegisterProjectFileType(const FileTypeRegistration& registration, bool* changed = nullptr);

// The commands that refresh the desktop's databases after a registration.
std::vector<std::vector<std::string>> DesktopRefreshCommands(const std::filesystem::path& dataHome);

// Runs each command whose program is found on PATH, bounded in time. Missing programs
// and failing commands are skipped.
void RefreshDesktopDatabases(const std::filesystem::path& dataHome, ProcessRunner& runner);

} // namespace kestrel
