#pragma once
// Pictures of a drawn diagram: PNG (at twice the scene's scale) or SVG, of everything on the
// scene with a small margin. The editor's Export Picture and `kestrel-cli diagram picture`
// (through `kestrel --export-picture`) both make them here.
#include "platform/Status.h"

#include <QByteArray>
#include <QString>

#include <string>

class QGraphicsScene;

namespace kestrel {

// The picture's bytes; SVG when `svg`, else PNG. `title` names an SVG drawing.
QByteArray DiagramPictureBytes(QGraphicsScene& scene, bool svg, const QString& title);

// Draws the diagram file and writes its picture (SVG for a .svg name, else PNG) atomically.
// Paths are stored text; a failure names the file.
Status ExportDiagramPicture(const std::string& diagramPath, const std::string& picturePath);

// `kestrel --export-picture DIAGRAM PICTURE`: the exit status (0, or 2 after a message on
// standard error).
int RunPictureExport(const QString& diagram, const QString& picture);

} // namespace kestrel
