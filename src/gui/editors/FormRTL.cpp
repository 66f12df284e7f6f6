// The RTL signal list. Opening loads rtl_sig.dat when the project has declared signals and
// shows one working row per signal (library ports in the library colour); the table is
// not touched until OK. Add refuses a 26th signal, Edit a library port; both open the
// signal dialog over a disabled list. OK hands the rows to the core's AcceptSignalList:
// the clock check, the table, AdjustInitValues, the file, the declared flag, the stage
// and the .tp file.
#include "editors/FormRTL.h"

#include "GuiText.h"
#include "MainWindow.h"
#include "UiServices.h"
#include "editors/FormRTL_Type.h"
#include "editors/ReportList.h"
#include "editors/TableModels.h"
#include "project/DuplicateNames.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTreeView>

namespace kestrel {

FormRTL* FormRTL::Open(MainWindow& main) {
    auto table = std::make_unique<RtlSignalTable>();
    if (main.Project().rtlDeclared) {
        if (Status s = LoadRtlSignals(main.Project().projectFolder, *table); !s) {
            ShowFailure(main.Context().ui, &main, FromCore(s.message()));
            return nullptr;
        }
    } else {
        table->count = 0;
    }
    return new FormRTL(main, std::move(table));
}

FormRTL::FormRTL(MainWindow& main, std::unique_ptr<RtlSignalTable> table)
    : QDialog(&main), main_(main), table_(std::move(table)) {
    setObjectName(QStringLiteral("FormRTL"));
    setWindowTitle(QStringLiteral("RTL Ports"));

    auto* frame = new QGroupBox(QStringLiteral("RTL Ports"), this);
    frame->setObjectName(QStringLiteral("FrameRTL"));
    rows_ = new SignalTableModel(this);
    list_ = MakeReportList(frame, "ListViewRSig", rows_);
    const ListWindowButtons buttons = LayOutListWindow(this, frame, list_);
    duplicates_ = AddListWarning(frame, "LabelDuplicates");
    FollowRows(rows_, this, &FormRTL::ShowDuplicates);
    edit_ = buttons.edit;
    remove_ = buttons.remove;
    ConnectListWindow(this, buttons, list_);

    rows_->SetRows(SignalRowsOf(*table_));
    EnDisEditRemove();
}

void FormRTL::ShowDuplicates() {
    std::vector<DeclaredName> names;
    for (const SignalRow& row : Rows()) names.push_back({row.name, row.isLibrary});
    ShowListWarnings(duplicates_, PortNameWarnings(names));
}

int FormRTL::RowCount() const {
    return rows_->rowCount();
}

SignalRow FormRTL::Row(int number) const {
    return rows_->RowAt(number - 1);
}

std::vector<SignalRow> FormRTL::Rows() const {
    return rows_->Rows();
}

void FormRTL::AppendRow(const SignalRow& row) {
    rows_->AppendRow(row);
}

void FormRTL::ReplaceRow(int number, const SignalRow& row) {
    rows_->ReplaceRow(number - 1, row);
}

void FormRTL::EnDisEditRemove() {
    kestrel::EnDisEditRemove(list_, edit_, remove_);
}

void FormRTL::Add() {
    if (auto refusal = CheckSignalCapacity(RowCount())) {
        ShowRefusalIn(this, main_, *refusal);
        return;
    }
    isAdd_ = true;
    OpenSignalDialog();
}

void FormRTL::Edit() {
    const int number = SelectedRowNumber(list_);
    if (number < 1) return;
    isAdd_ = false;
    selectedListViewRSigIndex_ = number;
    if (auto refusal = CheckSignalEditable(Row(number))) {
        ShowRefusalIn(this, main_, *refusal);
        return;
    }
    OpenSignalDialog();
}

void FormRTL::OpenSignalDialog() {
    OpenChildWindow(this, main_, [this] { return new FormRTL_Type(*this); });
}

void FormRTL::Remove() {
    const int number = SelectedRowNumber(list_);
    if (number < 1) return;
    rows_->RemoveRow(number - 1);
    EnDisEditRemove();
}

void FormRTL::Confirm() {
    ProjectRecord record = main_.Project();
    CommandOutcome outcome = AcceptSignalList(record, Rows(), *table_);
    if (outcome.refusal) {
        ShowRefusalIn(this, main_, *outcome.refusal);
        return;
    }
    if (!outcome.status) {
        ShowFailure(main_.Context().ui, this, FromCore(outcome.status.message()));
        return;
    }
    main_.SetProject(record);
    accept();
}

void FormRTL::reject() {
    // Closing the window while the signal dialog is open over it waits for that dialog.
    if (!isEnabled()) return;
    QDialog::reject();
}

} // namespace kestrel
