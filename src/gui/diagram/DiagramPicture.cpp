// Pictures of a drawn diagram.
#include "diagram/DiagramPicture.h"

#include "GuiText.h"
#include "diagram/DiagramScene.h"
#include "fsm/AsfDocument.h"
#include "platform/FileSystem.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

namespace kestrel {

QByteArray DiagramPictureBytes(QGraphicsScene& scene, bool svg, const QString& title) {
    const QRectF area = scene.itemsBoundingRect().adjusted(-20, -20, 20, 20);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(area.size().toSize());
        generator.setViewBox(QRectF(QPointF(0, 0), area.size()));
        generator.setTitle(title);
        QPainter painter(&generator);
        scene.render(&painter, QRectF(QPointF(0, 0), area.size()), area);
    } else {
        QImage image((area.size() * 2).toSize(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        scene.render(&painter, QRectF(QPointF(0, 0), area.size() * 2), area);
        painter.end();
        image.save(&buffer, "PNG");
    }
    return bytes;
}

Status ExportDiagramPicture(const std::string& diagramPath, const std::string& picturePath) {
    std::string text;
    if (Status s = ReadFileBytes(diagramPath, text); !s) return s;
    AsfDocument doc;
    if (Status s = AsfDocument::Load(text, diagramPath, doc); !s) return s;
    DiagramScene scene;
    scene.Show(doc);
    const QString picture = FromCore(picturePath);
    const bool svg = picture.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
    const QByteArray bytes =
        DiagramPictureBytes(scene, svg, QFileInfo(FromCore(diagramPath)).fileName());
    return WriteFileAtomic(
        picturePath, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

int RunPictureExport(const QString& diagram, const QString& picture) {
    const auto stored = [](const QString& path) {
        return ToCore(QFileInfo(path).absoluteFilePath());
    };
    if (Status s = ExportDiagramPicture(stored(diagram), stored(picture)); !s) {
        std::fprintf(stderr, "kestrel: %s\n", FromCore(s.message()).toLocal8Bit().constData());
        return 2;
    }
    return 0;
}

} // namespace kestrel
