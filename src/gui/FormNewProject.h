#pragma once
// The New Project window: a project name and a location (with the folder browser). OK
// creates the project through the core and makes it the open project; a refused input
// keeps the window open with the focus on the field to correct.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kestrel {

class MainWindow;

class FormNewProject : public QDialog {
    Q_OBJECT

public:
    explicit FormNewProject(MainWindow& main);

    void Browse();
    void Confirm();

private:
    MainWindow& main_;
    QLineEdit* name_ = nullptr;
    QLineEdit* location_ = nullptr;
    QPushButton* browse_ = nullptr;
};

} // namespace kestrel
