#pragma once
// The About box: the program's name and version, a credit text and a web link.
#include <QDialog>

namespace kestrel {

class MainWindow;

inline constexpr const char* kAboutLink = "https://systemc.org";

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(MainWindow& main);
};

} // namespace kestrel
