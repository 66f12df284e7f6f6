// Registration of the .tp file type in a fake data folder: the MIME package, the icon and
// the desktop entry with a correctly quoted command, replaced on every start.
#include "platform/FileTypeRegistration.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(FileTypeRegistration, DataHomeFollowsXdgThenHome) {
    EXPECT_EQ(UserDataHome("/x/data", "/home/ann"), fs::path("/x/data"));
    // A relative XDG_DATA_HOME is ignored, as the base directory rules require.
    for (const char* xdg : {"rel/data", "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(UserDataHome(xdg, "/home/ann"), fs::path("/home/ann/.local/share"));
    EXPECT_EQ(UserDataHome(nullptr, nullptr), fs::path());
}

TEST(FileTypeRegistration, ExecArgumentQuoting) {
    EXPECT_EQ(DesktopExecArgument("/opt/kestrel/bin/kestrel"), "/opt/kestrel/bin/kestrel");
    EXPECT_EQ(DesktopExecArgument("/home/ann/My Tools/kestrel"), "\"/home/ann/My Tools/kestrel\"");
    // Inside quotes $, " and \ get a backslash, and every backslash is then doubled as a
    // string value: $ is written \\$, a backslash four times.
    EXPECT_EQ(DesktopExecArgument("/a$b/k"), "\"/a\\\\$b/k\"");
    EXPECT_EQ(DesktopExecArgument("/a\\b/k"), "\"/a\\\\\\\\b/k\"");
    EXPECT_EQ(DesktopExecArgument("/a\"b/k"), "\"/a\\\\\"b/k\"");
    // A percent sign would otherwise be read as a field code.
    EXPECT_EQ(DesktopExecArgument("/100%/k"), "/100%%/k");
}

TEST(FileTypeRegistration, WritesMimePackageIconAndDesktopEntry) {
    TempDir dir;
    const fs::path data = dir.path() / "data";
    WriteBytes(dir.path() / "tp.svg", "<svg/>");
    WriteBytes(dir.path() / "kestrel.svg", "<svg/>");
    FileTypeRegistration r{data, "/opt/k tools/bin/kestrel", dir.path() / "tp.svg",
                           dir.path() / "kestrel.svg"};
    ASSERT_TRUE(RegisterProjectFileType(r).ok());

    // The MIME package is the one installed with the program.
    const std::string package = ReadBytes(test::FixtureDir().parent_path().parent_path() /
                                          "src/gui/desktop/kestrel-project.xml");
    EXPECT_TRUE(test::SameBytes(package, ReadBytes(data / "mime/packages/kestrel-project.xml")));
    EXPECT_TRUE(test::SameBytes(package, ProjectMimePackage()));
    EXPECT_EQ(
        ReadBytes(data / "icons/hicolor/scalable/mimetypes/application-x-kestrel-project.svg"),
        "<svg/>");
    // The command quoted; the icon as given (the temporary folder written as <icons>).
    std::string desktop = ReadBytes(data / "applications/kestrel.desktop");
    const std::string icons = dir.path().string();
    desktop.replace(desktop.find(icons), icons.size(), "<icons>");
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "platform/kestrel.desktop", desktop));
    // The next start replaces what an older registration left, and leaves no temporary file.
    WriteBytes(data / "applications/kestrel.desktop", "stale");
    r.programPath = "/usr/bin/kestrel";
    r.programIcon.clear();
    bool changed = false;
    ASSERT_TRUE(RegisterProjectFileType(r, &changed).ok());
    EXPECT_TRUE(changed);
    const std::string entry = ReadBytes(data / "applications/kestrel.desktop");
    EXPECT_NE(entry.find("Exec=/usr/bin/kestrel %f\n"), std::string::npos);
    EXPECT_EQ(entry.find("Icon="), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(data / "applications"), {}), 1);

    // A start that finds everything in place writes nothing, so the databases are not
    // rebuilt; a damaged MIME package is written again.
    ASSERT_TRUE(RegisterProjectFileType(r, &changed).ok());
    EXPECT_FALSE(changed);
    WriteBytes(data / "mime/packages/kestrel-project.xml", "<mime-info/>");
    ASSERT_TRUE(RegisterProjectFileType(r, &changed).ok());
    EXPECT_TRUE(changed);
    EXPECT_EQ(ReadBytes(data / "mime/packages/kestrel-project.xml"), ProjectMimePackage());
}

TEST(FileTypeRegistration, FailuresAreStatusesNotCrashes) {
    FileTypeRegistration none{fs::path(), "/usr/bin/kestrel", {}, {}};
    EXPECT_FALSE(RegisterProjectFileType(none).ok());

    TempDir dir;
    FileTypeRegistration broken{dir.path(), "/usr/bin/kes\ntrel", {}, {}};
    Status s = RegisterProjectFileType(broken);
    EXPECT_FALSE(s.ok());
    EXPECT_FALSE(fs::exists(dir.path() / "applications"));

    // A data folder that is a file: the message names the file that could not be written.
    WriteBytes(dir.path() / "file", "x");
    FileTypeRegistration blocked{dir.path() / "file", "/usr/bin/kestrel", {}, {}};
    s = RegisterProjectFileType(blocked);
    ASSERT_FALSE(s.ok());
    EXPECT_NE(s.message().find("kestrel-project.xml"), std::string::npos) << s.message();
}

class RecordingRunner final : public ProcessRunner {
public:
    std::vector<std::vector<std::string>> calls;
    ProcessOutcome Run(const std::string& program, const std::vector<std::string>& arguments,
                       std::chrono::milliseconds) override {
        std::vector<std::string> call{program};
        call.insert(call.end(), arguments.begin(), arguments.end());
        calls.push_back(call);
        return {};
    }
};

TEST(FileTypeRegistration, RefreshRunsOnlyTheToolsThatExist) {
    EXPECT_EQ(DesktopRefreshCommands("/d"),
              (std::vector<std::vector<std::string>>{
                  {"update-mime-database", "/d/mime"},
                  {"update-desktop-database", "-q", "/d/applications"}}));

    // Only update-mime-database is on this PATH: the other tool is skipped silently.
    TempDir dir;
    const fs::path tool = dir.path() / "bin" / "update-mime-database";
    fs::create_directories(tool.parent_path());
    WriteBytes(tool, "#!/bin/sh\n");
    ::chmod(tool.c_str(), 0755);
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath ? oldPath : "";
    ::setenv("PATH", (dir.path() / "bin").c_str(), 1);
    RecordingRunner runner;
    RefreshDesktopDatabases("/d", runner);
    ::setenv("PATH", saved.c_str(), 1);
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0], (std::vector<std::string>{tool.string(), "/d/mime"}));
}

// The content type the desktop gives a file, with the MIME database under `data`; empty
// when it cannot be asked.
std::string ContentType(const fs::path& data, const fs::path& file) {
    const std::string command = "XDG_DATA_HOME='" + data.string() +
                                "' XDG_DATA_DIRS=/usr/share gio info -a standard::content-type '" +
                                file.string() + "' 2>/dev/null";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
        pclose(pipe);
    }
    const std::string key = "standard::content-type: ";
    std::size_t at = out.find(key);
    if (at == std::string::npos) return {};
    std::size_t end = out.find('\n', at);
    return out.substr(at + key.size(), end - at - key.size());
}

// *.asf is also a video type: the desktop tells a diagram by its first line and leaves a
// video what it is. Needs the desktop's MIME tools and database.
TEST(FileTypeRegistration, TheDesktopTellsADiagramFromAVideo) {
    if (std::system("command -v update-mime-database >/dev/null 2>&1 && "
                    "command -v gio >/dev/null 2>&1 && test -f /usr/share/mime/mime.cache") != 0)
        GTEST_SKIP() << "no update-mime-database, gio or system MIME database";
    TempDir dir;
    const fs::path data = dir.path() / "data";
    ASSERT_TRUE(RegisterProjectFileType({data, "/usr/bin/kestrel", {}, {}}).ok());
    ASSERT_EQ(std::system(("update-mime-database '" + (data / "mime").string() + "'").c_str()), 0);
    WriteBytes(dir.path() / "Write.asf", "VERSION=1.19\r\nHEADER\r\nEND\r\n");
    // The header object of an ASF video.
    WriteBytes(dir.path() / "clip.asf",
               std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16) +
                   std::string(64, '\0'));
    WriteBytes(dir.path() / "P.tp", std::string(300, ' '));
    EXPECT_EQ(ContentType(data, dir.path() / "Write.asf"), kDiagramMimeType);
    const std::string video = ContentType(data, dir.path() / "clip.asf");
    EXPECT_FALSE(video.empty());
    EXPECT_NE(video, kDiagramMimeType);
    EXPECT_EQ(ContentType(data, dir.path() / "P.tp"), kProjectMimeType);
}

} // namespace
} // namespace kestrel
