#pragma once
// Where the generated files of a project go, judged against the project's own folder. The
// stored names are full paths and stay as they are when a project folder is copied or
// moved, so a copy would generate into the folder it came from: into a folder that does
// not exist on this machine, or over another project's files. The rule finds such names;
// PointOutputsAtProject changes them when the user asks for it.
#include "model/ProjectOptions.h"
#include "model/ProjectRecord.h"
#include "platform/Status.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

enum class OutputProblem {
    NoFileName,    // the name is empty
    MissingFolder, // its folder does not exist
    OtherProject,  // its folder lies in a folder holding another project's .tp file
};

struct MisplacedOutputFile {
    std::string storedName;
    OutputProblem problem = OutputProblem::NoFileName;
    // The folder that does not exist, or the other project's folder; empty otherwise.
    std::string folder;

    friend bool operator==(const MisplacedOutputFile&, const MisplacedOutputFile&) = default;
};

// A stored output name as a file: a name that is not a full path ("Output/Tran.cpp") lies
// in the project's folder, wherever a command runs; a full path or an empty name is itself.
std::string OutputFileInProject(std::string_view projectFolder, std::string_view storedName);

// The three output names of `settings` as files (OutputFileInProject), for the commands
// that write or read the generated files.
void ResolveOutputNames(std::string_view projectFolder, GenerationSettings& settings);

// The output files of `settings` that are misplaced for a project in `projectFolder`, in
// the order Generate writes them (TLM_AIC.h, Tran.h, Tran.cpp); none when all are well. A
// file in a folder of the user's own that exists and is not inside another project's
// folder is well placed, and so is one in a missing folder inside the project's own. The walk up
// from a file's folder stops at the project's own folder.
std::vector<MisplacedOutputFile> FindMisplacedOutputFiles(std::string_view projectFolder,
                                                          const GenerationSettings& settings);

// The warning the command line prints (and the window's question begins with): the stored
// names, why each is misplaced, the project's folder and how to point them at its Output
// folder. std::nullopt when nothing is misplaced.
std::optional<std::string> MisplacedOutputWarning(const ProjectRecord& record,
                                                  const GenerationSettings& settings);

// The question the window asks on opening such a project (Yes points them at Output).
std::optional<std::string> MisplacedOutputQuestion(const ProjectRecord& record,
                                                   const GenerationSettings& settings);

// The three file names pointed at the project's Output folder, keeping their file names;
// the library file when it lay in the folder of one of the old output files, and the
// library folder when it was that folder, likewise. Gives one line per changed name
// ("Transactor C++ file: OLD -> NEW"); none when every name was already there.
std::vector<std::string> PointOutputsHere(std::string_view projectFolder,
                                          GenerationSettings& settings, ProjectOptions& options);

struct OutputsPointed {
    Status status;
    std::vector<std::string> changes;
};

// PointOutputsHere on the stored settings and options of the project in `projectFolder`;
// what changed is saved (each file replaced atomically).
OutputsPointed PointOutputsAtProject(std::string_view projectFolder);

// "Nothing to change: ..." when PointOutputsAtProject changed nothing.
std::string OutputsAlreadyHereNote(std::string_view projectFolder);

} // namespace kestrel
