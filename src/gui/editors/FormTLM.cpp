// The TLM function list. Opening loads tlm_func.dat when the project has declared
// functions; rows are rebuilt from the table by FillListViewTLM, so row i is always
// function i. Add and Edit open the declaration dialog over a disabled list (a 26th
// function and library functions are refused first); Remove shifts the table up at once.
// OK hands the table to the core's AcceptFunctionList (file, declared flag, stage, .tp).
#include "editors/FormTLM.h"

#include "GuiText.h"
#include "MainWindow.h"
#include "UiServices.h"
#include "editors/FormTLM_Func.h"
#include "editors/ReportList.h"
#include "editors/TableModels.h"
#include "project/DuplicateNames.h"
#include "project/FunctionRules.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTreeView>

namespace kestrel {

FormTLM* FormTLM::Open(MainWindow& main) {
    auto table = std::make_unique<TlmFunctionTable>();
    if (main.Project().tlmDeclared) {
        if (Status s = LoadTlmFunctions(main.Project().projectFolder, *table); !s) {
            ShowFailure(main.Context().ui, &main, FromCore(s.message()));
            return nullptr;
        }
    } else {
        table->count = 0;
    }
    return new FormTLM(main, std::move(table));
}

FormTLM::FormTLM(MainWindow& main, std::unique_ptr<TlmFunctionTable> table)
    : QDialog(&main), main_(main), table_(std::move(table)) {
    setObjectName(QStringLiteral("FormTLM"));
    setWindowTitle(QStringLiteral("TLM Function Declarations"));

    auto* frame = new QGroupBox(QStringLiteral("TLM Function Declarations"), this);
    frame->setObjectName(QStringLiteral("FrameTLM"));
    rows_ = new FunctionTableModel(this);
    list_ = MakeReportList(frame, "ListViewTLM", rows_);
    const ListWindowButtons buttons = LayOutListWindow(this, frame, list_);
    duplicates_ = AddListWarning(frame, "LabelDuplicates");
    edit_ = buttons.edit;
    remove_ = buttons.remove;
    ConnectListWindow(this, buttons, list_);

    FillListViewTLM();
    EnDisEditRemove();
}

void FormTLM::FillListViewTLM() {
    std::vector<FunctionListRow> rows;
    for (const TlmFunction& function : table_->Used()) rows.push_back(FunctionListRowOf(function));
    rows_->SetRows(std::move(rows));
    ShowListWarnings(duplicates_, FunctionTableNameWarnings(*table_));
}

void FormTLM::EnDisEditRemove() {
    kestrel::EnDisEditRemove(list_, edit_, remove_);
}

void FormTLM::Add() {
    if (auto refusal = CheckFunctionCapacity(rows_->rowCount())) {
        ShowRefusalIn(this, main_, *refusal);
        return;
    }
    selectedTLM_FuncIndex_ = 0;
    OpenFunctionDialog();
}

void FormTLM::Edit() {
    const int k = SelectedRowNumber(list_);
    if (k < 1 || k > table_->count) return;
    selectedTLM_FuncIndex_ = k;
    if (auto refusal = CheckFunctionEditable((*table_)[k])) {
        ShowRefusalIn(this, main_, *refusal);
        return;
    }
    OpenFunctionDialog();
}

void FormTLM::OpenFunctionDialog() {
    OpenChildWindow(this, main_, [this] { return new FormTLM_Func(*this); });
}

void FormTLM::Remove() {
    const int k = SelectedRowNumber(list_);
    if (k < 1) return;
    RemoveFunction(*table_, k);
    rows_->RemoveRow(k - 1);
    ShowListWarnings(duplicates_, FunctionTableNameWarnings(*table_));
    EnDisEditRemove();
}

void FormTLM::Confirm() {
    ProjectRecord record = main_.Project();
    if (Status s = AcceptFunctionList(record, *table_); !s) {
        ShowFailure(main_.Context().ui, this, FromCore(s.message()));
        return;
    }
    main_.SetProject(record);
    accept();
}

void FormTLM::reject() {
    // Closing the window while the declaration dialog is open over it waits for that dialog.
    if (!isEnabled()) return;
    QDialog::reject();
}

} // namespace kestrel
