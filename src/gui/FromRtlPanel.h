#pragma once
// The "from a Verilog bus slave" part of the New Project window: the slave's Verilog files,
// its top module, the bus protocol and the ports' prefix, the behaviour method and the
// clock period, and what the core finds in the Verilog for them (each of the protocol's
// signals and its port, the clock, the reset, the optional signals missing, or why the
// ports are refused, in from-rtl's words), found again whenever the files, the top, the protocol or
// the prefix change, on a thread of its own.
#include "BusProbe.h"
#include "bus/FromRtl.h"

#include <QGroupBox>
#include <QStringList>
#include <QTimer>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace kestrel {

class UiServices;

class FromRtlPanel : public QGroupBox {
    Q_OBJECT

public:
    FromRtlPanel(UiServices& ui, QWidget* parent);

    // The request of from-rtl for a project `name` in `location`, from the fields.
    FromRtlRequest Request(const std::string& name, const std::string& location) const;
    // Files...: the Verilog files of the slave (a cancelled choice keeps the files).
    void ChooseFiles();
    // The files chosen, found again.
    void SetFiles(const QStringList& files);
    const QStringList& Files() const { return files_; }
    // Finds the ports again for the fields as they are now (after a short pause, so that
    // typing a prefix does not start a probe per letter).
    void Reprobe();
    // While a project is made: its latest step; empty: none yet.
    void ShowProgress(const QString& line);
    // A probe runs or waits to start.
    bool IsProbing() const { return probe_->IsRunning() || timer_.isActive(); }

private:
    void LayOut();
    BusProbeRequest ProbeRequest() const;
    void StartProbe();
    void ShowAnswer();
    void ShowFiles();

    UiServices& ui_;
    QStringList files_;
    QLabel* filesLabel_ = nullptr;
    QPushButton* filesButton_ = nullptr;
    QLineEdit* top_ = nullptr;
    QComboBox* protocol_ = nullptr;
    QLineEdit* prefix_ = nullptr;
    QComboBox* method_ = nullptr;
    QSpinBox* period_ = nullptr;
    QComboBox* unit_ = nullptr;
    QPlainTextEdit* found_ = nullptr;
    BusProbe* probe_ = nullptr;
    QTimer timer_;
};

// The lines of what a probe found, as the panel shows them: those kestrel-cli from-rtl prints
// (the protocol and prefix, each signal's port, the clock, the reset, the optional signals
// the RTL lacks), or why the Verilog cannot be read, or the refusals, one a line.
QStringList ProbeSummary(const BusProbeAnswer& answer);

} // namespace kestrel
