#pragma once
// The icons compiled into kestrel_gui. A static library's resources must be registered
// before first use; every window that shows an icon calls this (it is cheap to repeat).
class QLabel;
class QWidget;

namespace kestrel {

void InitGuiResources();

// The labels that present the program (the About box, the splash): its logo of
// `iconSize` pixels, its name in bold at `nameScale` times the usual size, and its version.
struct ProgramLabels {
    QLabel* icon;
    QLabel* name;
    QLabel* version;
};
ProgramLabels MakeProgramLabels(QWidget* parent, int iconSize, double nameScale);

} // namespace kestrel
