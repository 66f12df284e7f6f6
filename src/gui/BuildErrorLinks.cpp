// The place is everything before the first ":LINE:" that an error follows (a path may hold
// blanks); it starts with no blank, so that an indented quote of a source line is no place.
#include "BuildErrorLinks.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

namespace kestrel {

bool BuildErrorLink::IsDiagram() const {
    return file.endsWith(QStringLiteral(".asf"), Qt::CaseInsensitive);
}

std::optional<BuildErrorLink> ParseBuildErrorLink(const QString& line, const QString& folder) {
    static const QRegularExpression kError(
        QStringLiteral(R"(^(\S.*?):([0-9]+):(?:([0-9]+):)? (?:fatal )?error: \S)"));
    // Verilator's: "%Error: FILE:LINE:COL: message" ("%Error-PINMISSING: ..." alike).
    static const QRegularExpression kVerilatorError(
        QStringLiteral(R"(^%Error(?:-[A-Z0-9_]+)?: (\S.*?):([0-9]+):(?:([0-9]+):)? \S)"));
    QRegularExpressionMatch match = kError.match(line);
    if (!match.hasMatch()) match = kVerilatorError.match(line);
    if (!match.hasMatch()) return std::nullopt;
    BuildErrorLink link;
    link.text = line;
    link.file = QDir::cleanPath(QDir(folder).absoluteFilePath(match.captured(1)));
    link.line = match.captured(2).toInt();
    link.column = match.captured(3).toInt();
    if (link.line <= 0) return std::nullopt;
    return link;
}

QList<BuildErrorLink> BuildErrorLinks(const QString& text, const QString& folder) {
    QList<BuildErrorLink> links;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        std::optional<BuildErrorLink> link = ParseBuildErrorLink(line, folder);
        if (link && !links.contains(*link)) links.append(*link);
    }
    return links;
}

} // namespace kestrel
