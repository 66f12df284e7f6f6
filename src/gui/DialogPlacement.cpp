// Dialog placement: the main window's frame, the dialog's frame size and the screen's
// logical resolution give the dialog's corner; twips are converted at 1440 per inch.
#include "DialogPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace kestrel {

int TwipsToPixels(int twips, double dotsPerInch) {
    return static_cast<int>(std::lround(twips * dotsPerInch / kTwipsPerInch));
}

QPoint DialogPosition(const QRect& main, const QSize& dialog, double dotsPerInch) {
    const int left = (main.width() - dialog.width()) / 2;
    const int top =
        (main.height() - dialog.height()) / 2 - TwipsToPixels(kDialogRaiseTwips, dotsPerInch);
    return main.topLeft() + QPoint(left, top);
}

void PlaceDialog(QWidget* dialog, const QWidget* mainWindow) {
    if (!dialog || !mainWindow) return;
    dialog->adjustSize();
    QScreen* screen = mainWindow->screen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    QPoint corner = DialogPosition(mainWindow->frameGeometry(), dialog->size(), dpi);
    if (screen) {
        const QRect area = screen->availableGeometry();
        corner.setX(std::clamp(corner.x(), area.left(),
                               std::max(area.left(), area.right() - dialog->width())));
        corner.setY(std::clamp(corner.y(), area.top(),
                               std::max(area.top(), area.bottom() - dialog->height())));
    }
    dialog->move(corner);
}

QRect FrameWithin(const QRect& area, const QSize& wanted, const QRect& over,
                  const QMargins& frame) {
    const QSize inside = wanted.boundedTo(area.size().shrunkBy(frame)).expandedTo(QSize(1, 1));
    QRect framed(QPoint(0, 0), inside.grownBy(frame));
    framed.moveCenter(over.isEmpty() ? area.center() : over.center());
    framed.moveLeft(std::clamp(framed.left(), area.left(),
                               std::max(area.left(), area.left() + area.width() - framed.width())));
    framed.moveTop(std::clamp(framed.top(), area.top(),
                              std::max(area.top(), area.top() + area.height() - framed.height())));
    return framed;
}

void PlaceWithinScreen(QWidget* window, const QWidget* over, const QSize& wanted) {
    QScreen* screen = over ? over->screen() : window->screen();
    if (!screen) {
        window->resize(wanted);
        return;
    }
    // Before the window manager has framed it a window has no frame yet: room for a usual
    // title bar and border is kept.
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                   outer.right() - inner.right(), outer.bottom() - inner.bottom());
    if (frame.isNull()) frame = QMargins(8, 40, 8, 8);
    const QRect framed = FrameWithin(screen->availableGeometry(), wanted,
                                     over ? over->frameGeometry() : QRect(), frame);
    window->resize(framed.size().shrunkBy(frame));
    window->move(framed.topLeft());
}

} // namespace kestrel
