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

} // namespace kestrel
