#pragma once
// The New Project window: a project name and a location (with the folder browser), and how
// the project starts: empty, or made from a Verilog bus slave (the files, the protocol and
// what the core finds in them, FromRtlPanel). OK creates the project through the core and
// makes it the open project; a refused input keeps the window open with the focus on the
// field to correct, or the refusals of the Verilog in a message. Making a project from
// Verilog (Verilator, Generate: seconds) runs on a thread of its own, the window showing
// what it does meanwhile.
#include "bus/FromRtl.h"

#include <QDialog>

class QLineEdit;
class QThread;
class QPushButton;
class QRadioButton;

namespace kestrel {

class FromRtlPanel;
class MainWindow;

class FormNewProject : public QDialog {
    Q_OBJECT

public:
    // `fromRtl`: the window opens on the Verilog start.
    explicit FormNewProject(MainWindow& main, bool fromRtl = false);
    // Waits for a project being made.
    ~FormNewProject() override;

    void Browse();
    void Confirm();
    FromRtlPanel& FromRtl() { return *fromRtl_; }
    bool IsMaking() const { return maker_ != nullptr; }

    // Not closed while a project is being made.
    void done(int result) override;

private:
    void ShowStart();
    void ConfirmEmpty();
    void ConfirmFromRtl();
    void OnMade();

    MainWindow& main_;
    QLineEdit* name_ = nullptr;
    QLineEdit* location_ = nullptr;
    QPushButton* browse_ = nullptr;
    QRadioButton* empty_ = nullptr;
    QRadioButton* fromRtlChoice_ = nullptr;
    FromRtlPanel* fromRtl_ = nullptr;
    QThread* maker_ = nullptr;
    FromRtlResult made_; // written by the maker's thread until it ends
};

} // namespace kestrel
