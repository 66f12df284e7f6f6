// Registers the .tp file type with a freedesktop desktop: writes a shared-mime-info
// package (glob *.tp, comment "Transactor Project"), the document icon under the hicolor
// theme and a desktop entry that opens a project file with the program, each file
// replaced atomically when its content differs; then, when anything was written, the MIME
// and desktop databases are refreshed where their tools exist. Nothing here may stop the program:
// every failure becomes a status.
#include "platform/FileTypeRegistration.h"

#include "platform/Process.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>
#include <unistd.h>

namespace kestrel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMimeIconName = "application-x-kestrel-project";
// The databases of one user are small; a tool that takes longer is stopped.
constexpr std::chrono::seconds kRefreshTimeout{10};

Status WriteError(const fs::path& file, const std::string& reason) {
    return Status::Error("Cannot write \"" + file.string() + "\": " + reason);
}

// Writes a temporary file beside the target and renames it over the target, unless the
// target already holds exactly these bytes; `changed` is set when the file was written.
Status ReplaceFile(const fs::path& file, std::string_view bytes, bool& changed) {
    {
        std::ifstream existing(file, std::ios::binary);
        if (existing) {
            std::string old((std::istreambuf_iterator<char>(existing)),
                            std::istreambuf_iterator<char>());
            if (old == bytes) return Status::Ok();
        }
    }
    changed = true;
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (ec) return WriteError(file, ec.message());
    fs::path temp = file;
    temp += ".new-" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temp, ec);
            return WriteError(file, "the file cannot be written");
        }
    }
    fs::rename(temp, file, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return WriteError(file, ec.message());
    }
    return Status::Ok();
}

// The escapes of a desktop entry's string value.
std::string EscapeStringValue(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool IsUsableFile(const fs::path& file) {
    std::error_code ec;
    return !file.empty() && fs::is_regular_file(file, ec);
}

} // namespace

fs::path UserDataHome(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && xdgDataHome[0] == '/') return fs::path(xdgDataHome);
    if (home && home[0] != '\0') return fs::path(home) / ".local" / "share";
    return {};
}

std::string ProjectMimePackage() {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"") +
           kProjectMimeType + "\">\n" + "    <comment>" + kProjectTypeDescription + "</comment>\n" +
           "    <icon name=\"" + kMimeIconName + "\"/>\n" + "    <glob pattern=\"*.tp\"/>\n" +
           "  </mime-type>\n" + "  <mime-type type=\"" + kDiagramMimeType + "\">\n" +
           "    <comment>" + kDiagramTypeDescription + "</comment>\n" +
           "    <sub-class-of type=\"text/plain\"/>\n" + "    <magic priority=\"80\">\n" +
           "      <match type=\"string\" value=\"" + kDiagramFirstLine + "\" offset=\"0\"/>\n" +
           "    </magic>\n" + "    <glob pattern=\"*.asf\"/>\n" + "  </mime-type>\n" +
           "</mime-info>\n";
}

std::string DesktopExecArgument(std::string_view argument) {
    // Characters that make an argument need quotes; inside quotes ", `, $ and \ are
    // escaped with a backslash. A literal % is always doubled.
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string arg;
    for (char c : argument) {
        if (c == '%')
            arg += "%%";
        else
            arg.push_back(c);
    }
    if (arg.find_first_of(kReserved) == std::string::npos && !arg.empty())
        return EscapeStringValue(arg);
    std::string quoted = "\"";
    for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted.push_back('\\');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return EscapeStringValue(quoted);
}

Status DesktopEntryText(const FileTypeRegistration& r, std::string& text) {
    const std::string program = r.programPath.string();
    if (program.empty() || HasLineBreak(program))
        return Status::Error("\"" + program + "\" cannot be started from a desktop entry");
    std::string entry = "[Desktop Entry]\n"
                        "Type=Application\n"
                        "Name=Kestrel\n"
                        "GenericName=SystemC Transactor Generator\n"
                        "Comment=Declare TLM and RTL interfaces and generate SystemC transactors\n";
    entry += "Exec=" + DesktopExecArgument(program) + " %f\n";
    const std::string icon = r.programIcon.string();
    if (IsUsableFile(r.programIcon) && !HasLineBreak(icon))
        entry += "Icon=" + EscapeStringValue(icon) + "\n";
    entry += std::string("MimeType=") + kProjectMimeType + ";" + kDiagramMimeType + ";\n";
    entry += "Categories=Development;Electronics;\n"
             "Terminal=false\n";
    text = entry;
    return Status::Ok();
}

Status RegisterProjectFileType(const FileTypeRegistration& r, bool* changed) {
    bool wrote = false;
    if (changed) *changed = false;
    if (r.dataHome.empty()) return Status::Error("No data folder to register the file type in");
    std::string entry;
    if (Status s = DesktopEntryText(r, entry); !s) return s;

    if (Status s = ReplaceFile(r.dataHome / "mime" / "packages" / kMimePackageName,
                               ProjectMimePackage(), wrote);
        !s)
        return s;
    if (IsUsableFile(r.documentIcon)) {
        std::string icon;
        std::ifstream in(r.documentIcon, std::ios::binary);
        icon.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        fs::path target = r.dataHome / "icons" / "hicolor" / "scalable" / "mimetypes" /
                          (std::string(kMimeIconName) + r.documentIcon.extension().string());
        if (Status s = ReplaceFile(target, icon, wrote); !s) return s;
    }
    Status s = ReplaceFile(r.dataHome / "applications" / kDesktopEntryName, entry, wrote);
    if (changed) *changed = wrote;
    return s;
}

std::vector<std::vector<std::string>> DesktopRefreshCommands(const fs::path& dataHome) {
    return {
        {"update-mime-database", (dataHome / "mime").string()},
        {"update-desktop-database", "-q", (dataHome / "applications").string()},
    };
}

void RefreshDesktopDatabases(const fs::path& dataHome, ProcessRunner& runner) {
    for (const std::vector<std::string>& command : DesktopRefreshCommands(dataHome)) {
        const std::string program = FindProgram(command.front());
        if (program.empty()) continue;
        (void)runner.Run(program, {command.begin() + 1, command.end()}, kRefreshTimeout);
    }
}

} // namespace kestrel
