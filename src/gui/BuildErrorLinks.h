#pragma once
// The lines of a build's output that name a place with an error, as the Generate window
// lists them to be clicked: "PATH:LINE: error: MESSAGE" or "PATH:LINE:COL: error: MESSAGE"
// ("fatal error" alike), as g++ prints them and as the mapped diagnostics give them at the
// AsmL or diagram line, and Verilator's "%Error: PATH:LINE:COL: MESSAGE".
#include <QList>
#include <QString>

#include <optional>

namespace kestrel {

struct BuildErrorLink {
    QString text;   // the line as printed
    QString file;   // absolute
    int line = 0;   // from 1
    int column = 0; // from 1; 0 when the line names none

    // An ASF state diagram, opened in the diagram editor rather than by the desktop.
    bool IsDiagram() const;
    friend bool operator==(const BuildErrorLink&, const BuildErrorLink&) = default;
};

// The line as a link, or none when it names no error place: "PATH:LINE[:COL]: error: ..." of
// the compiler, "%Error: PATH:LINE[:COL]: ..." of Verilator. A relative PATH is taken from
// `folder` (where the compiler ran).
std::optional<BuildErrorLink> ParseBuildErrorLink(const QString& line, const QString& folder);

// Every error line of a text, in order; a line repeated (the same error reached twice) once.
QList<BuildErrorLink> BuildErrorLinks(const QString& text, const QString& folder);

} // namespace kestrel
