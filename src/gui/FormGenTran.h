#pragma once
// FormGenTran, the Generate SystemC Transactor window: the class names and output paths
// of the open project, the Generate button with its progress bar and status box, and the
// way to the Code Generation Settings window. The status box and the progress bar follow
// the generation log while a run goes on. Simulate builds and runs the testbench of the
// generated transactor on a thread of its own, its output in the status box; a build that
// fails lists its errors under it, each opening the file it names; a run that wrote them
// offers its transactions.cpp and its waveform. The TLM-2.0 socket box, on when the project
// has a socket mapping, makes Simulate go through the socket module; the line beside it shows
// the mapping, and Socket... opens the window that changes it. The Check protocol box makes
// Simulate watch the bus between the transactor and the RTL with the protocol's monitor: the
// protocol and prefix kept with the project (protocol.json), else those chosen beside it.
#include "BuildErrorLinks.h"
#include "bus/ProtocolChoice.h"
#include "codegen/GenerationLog.h"
#include "model/ProjectOptions.h"
#include "sim/Simulation.h"
#include "tlm2/Tlm2Mapping.h"

#include <QDialog>
#include <QStringList>

#include <optional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kestrel {

class MainWindow;
class SimulationRunner;
struct SimulationReport;

class FormGenTran : public QDialog, private LogObserver {
    Q_OBJECT

public:
    // Loads the project's generation settings into a new window (not shown yet). Null,
    // after a message naming the file, when they cannot be read.
    static FormGenTran* Open(MainWindow& main);
    ~FormGenTran() override;

    // The five boxes as typed.
    GenerationSettings Boxes() const;
    // Generate SystemC Transactor: one run with the boxes as typed.
    void RunGenerate();
    void Confirm();
    void OpenCodeSettings();

    // Simulate: a run of the testbench with the stored settings, against the chosen
    // Verilog files or the testbench's SystemC model rtl.h; Stop while one runs.
    void Simulate();
    // The run Simulate starts: the project, the RTL row, the socket and protocol boxes.
    SimulationRequest RunRequest() const;
    bool IsSimulating() const;
    // The Verilog files of the RTL for Simulate; none: rtl.h. They start as the project's
    // (rtl.json); a choice and Clear are kept with the project.
    void ChooseRtlFiles();
    const QStringList& RtlFiles() const { return rtlFiles_; }
    const QString& RtlTop() const { return rtlTop_; }
    // Socket...: the TLM-2.0 Socket window on the kept mapping or the proposal; this window
    // is disabled until it closes, then shows the mapping kept.
    void OpenSocket();
    // Simulate goes through the socket: the box is on and the project has a mapping.
    bool ThroughSocket() const;
    // The protocol Simulate checks: none when the Check protocol box is off.
    std::optional<ProtocolChoice> ProtocolToCheck() const;
    // The file of a build error: a diagram in the diagram editor, any other file by the
    // desktop's program.
    void OpenBuildError(const BuildErrorLink& link);
    // After a run: the testbench's transactions.cpp in the desktop's text editor, and its
    // waveform in GTKWave when it is installed (else with the desktop's program for it).
    void EditTransactions();
    void OpenWaveform();

    // Closing the window stops a simulation and waits for it.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    FormGenTran(MainWindow& main, const GenerationSettings& settings);
    void Browse(QLineEdit* box, const QString& title, const QString& filter);
    void AppendStatus(const QString& text);
    // Simulate is offered when the stored settings' Tran.cpp exists, and reads Stop while a
    // simulation runs, when Generate and the RTL choice are not offered.
    void UpdateSimulate();
    void ShowRtlFiles();
    // Reads the project's Verilog files and top; a damaged rtl.json is shown on the RTL row.
    void LoadRtlFiles();
    // Keeps the files and top with the project (none: forgets them).
    void KeepRtlFiles();
    // The RTL row and the socket row under Generate and Simulate.
    QGridLayout* SimulateRows(QWidget* frame);
    // The protocol and prefix of the Check protocol box, and where they come from.
    QHBoxLayout* ProtocolRow(QWidget* frame);
    // Reads the project's socket mapping and shows it; `check` sets the box to whether
    // there is one.
    void ShowSocketMapping(bool check);
    void OnSocketToggled(bool on);
    // Reads protocol.json: a project that has one is checked by default, with its protocol
    // and prefix; one without offers the choice.
    void LoadProtocolCheck();
    void ShowProtocolCheck();
    void OnSimulationFinished(const SimulationReport& report);
    // Offers the files a run wrote that are there.
    void ShowResultFiles(const SimulationOutcome& outcome);

    void OnText(std::string_view appended) override;
    void OnProgress(int value, int maximum) override;
    void OnReset() override;

    MainWindow& main_;
    // The session's log outlives the main window; the destructor may run while the main
    // window is being destroyed, so it must not go through main_.
    GenerationLog& log_;
    QLineEdit* transactorClass_ = nullptr;
    QLineEdit* interfaceClass_ = nullptr;
    QLineEdit* cppPath_ = nullptr;
    QLineEdit* headerPath_ = nullptr;
    QLineEdit* interfaceHeaderPath_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPlainTextEdit* status_ = nullptr;
    QPushButton* generate_ = nullptr;
    QPushButton* simulate_ = nullptr;
    QLabel* rtlLabel_ = nullptr;
    QPushButton* rtlChoose_ = nullptr;
    QPushButton* rtlClear_ = nullptr;
    QCheckBox* tlm2_ = nullptr;
    QLabel* tlm2Label_ = nullptr;
    QPushButton* tlm2Button_ = nullptr;
    std::optional<Tlm2Mapping> tlm2Mapping_;
    QCheckBox* checkProtocol_ = nullptr;
    QComboBox* protocol_ = nullptr;
    QLineEdit* protocolPrefix_ = nullptr;
    QLabel* protocolLabel_ = nullptr;
    std::optional<ProtocolChoice> keptProtocol_; // protocol.json
    QLabel* errorsLabel_ = nullptr;
    QListWidget* errors_ = nullptr;
    QPushButton* editTransactions_ = nullptr;
    QPushButton* openWaveform_ = nullptr;
    QString transactionsFile_;
    QString waveformFile_;
    QList<BuildErrorLink> errorLinks_;
    QStringList rtlFiles_;
    QString rtlTop_;         // the Verilog top kept with the files; empty: the files' own
    QString rtlLoadFailure_; // why rtl.json could not be read
    SimulationRunner* runner_ = nullptr;
    bool sized_ = false; // the first showing has sized the window to the screen
};

// Whether every character of `font`, as the font database resolves it, has the same width.
bool IsFixedPitch(const QFont& font);
// `preferred` when it is fixed-pitch; else a fixed-pitch family at its size (a known one
// first, then any installed); `preferred` when there is none.
QFont FixedPitchFont(const QFont& preferred);
// The font of the status box: the desktop's fixed-pitch font, made sure of.
QFont StatusFont();

} // namespace kestrel
