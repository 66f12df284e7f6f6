// kestrel-cli add-library: opens the project like the main window does, loads the Add
// Library window's tables, adds each library given (each success prints the window's
// message), and confirms with the window's OK: the tables and options are saved, the
// stage recomputed and the project file written. The folder of the last library becomes
// the project's library folder, as if the window had been browsed there. A refusal
// stops before anything is saved (the section files already extracted stay in Temp, as
// after Cancel in the window).
#include "AddLibraryCommand.h"

#include "CliApp.h"
#include "CliSupport.h"
#include "library/LibraryImport.h"
#include "platform/FileSystem.h"
#include "project/ProjectCommands.h"

#include <memory>
#include <ostream>

namespace kestrel::cli {

int RunAddLibraryCommand(std::string_view projectFile, const std::vector<std::string>& libraries,
                         std::ostream& out, std::ostream& err) {
    ProjectRecord record;
    if (std::optional<int> failed = TakeProject(projectFile, ProjectAccess::Open, record, err))
        return *failed;

    auto window = std::make_unique<AddLibraryState>();
    if (Status s = LoadAddLibrary(record.projectFolder, *window); !s) return PrintFileError(err, s);
    for (const std::string& library : libraries) {
        ShowLibraryFolder(*window, BeforeLastSeparator(library));
        AddLibraryOutcome outcome = AddLibraryFile(record.projectFolder, *window, library);
        if (!outcome.added) {
            PrintRefusal(err, InputRefusal{outcome.text, outcome.title});
            err << "kestrel-cli: " << Show(outcome.reason) << "\n";
            return kExitRefused;
        }
        out << Show(outcome.text) << "\n";
    }
    if (Status s = AcceptAddLibrary(record, *window); !s) return PrintFileError(err, s);
    return kExitOk;
}

} // namespace kestrel::cli
