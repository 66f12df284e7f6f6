#pragma once
// FormTlm2, the TLM-2.0 Socket window of the Generate window: which TLM function is the bus
// write and which the read, which of their parameters carry the address, the data, the
// strobe and the response, the target's base address and size, and the fixed values of
// other by-value parameters. It opens on the project's kept mapping, else on what Kestrel
// proposes from the declarations. OK chooses the mapping by the rules of kestrel-cli tlm2,
// keeps it with the project and writes the socket module; a refusal keeps it open.
#include "model/ProjectTables.h"
#include "tlm2/Tlm2Mapping.h"

#include <QDialog>

#include <optional>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace kestrel {

class MainWindow;

class FormTlm2 : public QDialog {
    Q_OBJECT

public:
    // Loads the project's declarations and generation settings into a new window (not
    // shown yet) showing `kept`, or the proposal when there is none. Null, after a message
    // naming the file, when they cannot be read.
    static FormTlm2* Open(MainWindow& main, QWidget* parent,
                          const std::optional<Tlm2Mapping>& kept);

    // What the controls hold, as kestrel-cli tlm2 takes it from its flags.
    Tlm2Request Request() const;
    // OK: the mapping chosen from the request, kept and its module written; else the
    // refusal in a message box and the window stays open.
    void Confirm();
    // The project's mapping: as it was when the window opened, then as OK kept it.
    const Tlm2Mapping* Kept() const { return kept_ ? &*kept_ : nullptr; }

private:
    FormTlm2(MainWindow& main, QWidget* parent, const ProjectTables& tables);
    QGroupBox* FunctionFrame();
    QGroupBox* TargetFrame();
    void ShowMapping(const Tlm2Mapping& mapping);
    // The parameter boxes of the chosen functions, each with its own choice when the
    // function has it.
    void FillParameters();
    // A function changed: the roles Kestrel proposes for the two functions now chosen.
    void ProposeRoles();
    void ShowNotes(const Tlm2Choice& choice);

    MainWindow& main_;
    ProjectTables tables_;
    std::optional<Tlm2Mapping> kept_;
    QComboBox* write_ = nullptr;
    QComboBox* read_ = nullptr;
    QComboBox* writeAddress_ = nullptr;
    QComboBox* writeData_ = nullptr;
    QComboBox* writeStrobe_ = nullptr;
    QComboBox* writeResponse_ = nullptr;
    QComboBox* readAddress_ = nullptr;
    QComboBox* readData_ = nullptr;
    QComboBox* readResponse_ = nullptr;
    QLineEdit* base_ = nullptr;
    QLineEdit* size_ = nullptr;
    QLineEdit* fixed_ = nullptr;
    QLabel* notes_ = nullptr;
    bool filling_ = false; // the boxes are being filled: no proposal on their changes
};

// The mapping in one line, as the Generate window shows it:
// "Write(address, data) / Read(address, data), base 0x0, size 256". The size the mapping
// leaves to the address type is the one its module resolves to; a mapping that no longer
// fits the declarations says why.
QString Tlm2MappingLine(const std::string& projectName, const ProjectTables& tables,
                        const Tlm2Mapping& mapping);

} // namespace kestrel
