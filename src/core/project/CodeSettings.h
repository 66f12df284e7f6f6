#pragma once
// The OK rule of the Code Generation Settings dialog (FormOption), shared by the dialog
// and the command line: the typed values are checked and, when accepted, stored into
// ProjectOptions.
#include "model/ProjectOptions.h"
#include "project/InputRefusal.h"

#include <optional>
#include <string>

namespace kestrel {

// What the dialog's controls hold.
struct CodeSettingsDraft {
    int method = kMethodAsml;         // OptionMethod 1..3
    bool clockPositiveEdge = true;    // OptionClkPos (OptionClkNeg is its negation)
    bool useSetup = true;             // CheckSetup
    std::string setupText;            // TextSetup
    int setupUnitIndex = 1;           // ComboSetup, index into kTimeUnits
    std::string periodText;           // TextPeriod
    int periodUnitIndex = 2;          // ComboPeriod, index into kTimeUnits
    bool makeLibrary = false;         // CheckLib
    std::string libraryFile;          // TextLibFName
    std::string title;                // TextTitle
    std::string author;               // TextAuthor
    std::string company;              // TextCompany
    std::string comment;              // TextCom
    bool useCommentInHeaders = false; // CheckH
};

// What the dialog shows when it opens.
CodeSettingsDraft DraftFromOptions(const ProjectOptions& options);

// OK of the dialog. The comment of the draft is normalised first (it ends in CR LF
// afterwards, even when OK is refused); then the clock and library choices are checked.
// On success the draft is stored into `options` and std::nullopt returned; on refusal
// `options` is untouched.
std::optional<InputRefusal> ApplyCodeSettings(CodeSettingsDraft& draft, ProjectOptions& options);

} // namespace kestrel
