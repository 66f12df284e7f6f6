#pragma once
// Where a window opens: centred horizontally over the main window and 1000 twips
// (1/1440 inch) above its vertical centre.
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace kestrel {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDialogRaiseTwips = 1000;

// Twips as pixels at a logical resolution of `dotsPerInch`.
int TwipsToPixels(int twips, double dotsPerInch);

// The top-left corner of a window of `dialog` size over a main window with the frame
// `main`: ((main width - dialog width) / 2, (main height - dialog height) / 2 - 1000
// twips), relative to the main window's corner.
QPoint DialogPosition(const QRect& main, const QSize& dialog, double dotsPerInch);

// Moves `dialog` there (kept on the main window's screen, so its title bar stays
// reachable).
void PlaceDialog(QWidget* dialog, const QWidget* mainWindow);

} // namespace kestrel
