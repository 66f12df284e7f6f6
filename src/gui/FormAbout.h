#pragma once
// The About box: the program's name and version, a credit text and a web link.
#include <QDialog>

namespace kestrel {

class MainWindow;

inline constexpr const char* kAboutLink = "https://systemc.org";

class FormAbout : public QDialog {
    Q_OBJECT

public:
    explicit FormAbout(MainWindow& main);
};

} // namespace kestrel
