#pragma once
// Where a window opens: centred horizontally over the main window and 1000 twips
// (1/1440 inch) above its vertical centre; a window of its own within the screen.
#include <QMargins>
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

// The frame of a window that would like the inner size `wanted`: no larger than `area`
// (with the `frame` margins around the inside), centred over `over` (over `area` when
// `over` is empty) and moved as little as needed to lie wholly inside `area`.
QRect FrameWithin(const QRect& area, const QSize& wanted, const QRect& over, const QMargins& frame);

// Sizes a top-level window and places it so that it lies wholly on the available part of
// the screen of `over` (its own when null), centred over `over` (which may be the window
// itself, to keep it where it is).
void PlaceWithinScreen(QWidget* window, const QWidget* over, const QSize& wanted);

} // namespace kestrel
