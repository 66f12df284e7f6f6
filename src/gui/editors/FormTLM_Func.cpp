// The function declaration dialog. Opening copies the list's SelectedTLM_FuncIndex and
// shows that function (or an empty one); the parameter rows are the working copy until OK.
// OK refuses an empty name, then writes name, return type and rows into the table through
// ApplyFunctionDraft (a new function takes slot count + 1 with no diagram assigned) and
// refreshes the list window. Cancel leaves the table as it was.
#include "editors/FormTLM_Func.h"

#include "GuiText.h"
#include "GuiWidgets.h"
#include "MainWindow.h"
#include "editors/FormTLM.h"
#include "editors/FormTLM_FuncPara.h"
#include "editors/ReportList.h"
#include "editors/TableModels.h"
#include "project/DuplicateNames.h"
#include "project/FunctionRules.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace kestrel {

FormTLM_Func::FormTLM_Func(FormTLM& list)
    : QDialog(&list), list_(list), functionIndex_(list.SelectedTLM_FuncIndex()) {
    setObjectName(QStringLiteral("FormTLM_Func"));

    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("TextFName"));
    returnType_ = MakeTypeBox(this, "ComboRetType", kCTypeNames);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Function Name:"), name_);
    fields->addRow(QStringLiteral("Return Type:"), returnType_);

    auto* frame = new QGroupBox(QStringLiteral("Parameters"), this);
    frame->setObjectName(QStringLiteral("FrameP"));
    rows_ = new ParameterTableModel(this);
    parameters_ = MakeReportList(frame, "ListViewPara", rows_);
    auto* add = NamedButton("CommandAdd", "Add", frame);
    edit_ = NamedButton("CommandEdit", "Edit", frame);
    remove_ = NamedButton("CommandRemove", "Remove", frame);
    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(add);
    rowButtons->addWidget(edit_);
    rowButtons->addWidget(remove_);
    rowButtons->addStretch();
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(parameters_);
    frameLayout->addLayout(rowButtons);
    duplicates_ = AddListWarning(frame, "LabelDuplicates");
    FollowRows(rows_, this, &FormTLM_Func::ShowDuplicates);
    connect(name_, &QLineEdit::textChanged, this, &FormTLM_Func::ShowDuplicates);

    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QHBoxLayout* buttons = OkCancelRow(this, ok, cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    resize(sizeHint().width(), 380);

    ConnectListWindow(this, {add, edit_, remove_, ok, cancel}, parameters_);

    const TlmFunctionTable& table = list_.Functions();
    setWindowTitle(FromCore(FunctionDialogCaption(table, functionIndex_)));
    FunctionDraft draft;
    if (functionIndex_ != 0) draft = FunctionDraftOf(table[functionIndex_]);
    name_->setText(FromCore(draft.name));
    ShowEntry(returnType_, draft.returnTypeIndex, FromCore(draft.returnTypeText));
    rows_->SetRows(draft.rows);
    EnDisEditRemove();
}

void FormTLM_Func::ShowDuplicates() {
    std::vector<std::string> names;
    for (const ParameterRow& row : rows_->Rows()) names.push_back(row.name);
    ShowListWarnings(duplicates_, ParameterNameWarnings(ToCore(name_->text()), names));
}

QString FormTLM_Func::FunctionNameText() const {
    return name_->text();
}

int FormTLM_Func::RowCount() const {
    return rows_->rowCount();
}

ParameterRow FormTLM_Func::Row(int number) const {
    return rows_->RowAt(number - 1);
}

void FormTLM_Func::AppendRow(const ParameterRow& row) {
    rows_->AppendRow(row);
}

void FormTLM_Func::ReplaceRow(int number, const ParameterRow& row) {
    rows_->ReplaceRow(number - 1, row);
}

void FormTLM_Func::EnDisEditRemove() {
    kestrel::EnDisEditRemove(parameters_, edit_, remove_);
}

void FormTLM_Func::Add() {
    if (auto refusal = CheckParameterCapacity(RowCount())) {
        ShowRefusalIn(this, list_.Main(), *refusal);
        return;
    }
    isAdd_ = true;
    OpenParameterDialog();
}

void FormTLM_Func::Edit() {
    const int number = SelectedRowNumber(parameters_);
    if (number < 1) return;
    isAdd_ = false;
    selectedListViewParaIndex_ = number;
    OpenParameterDialog();
}

void FormTLM_Func::OpenParameterDialog() {
    OpenChildWindow(this, list_.Main(), [this] { return new FormTLM_FuncPara(*this); });
}

void FormTLM_Func::Remove() {
    const int number = SelectedRowNumber(parameters_);
    if (number < 1) return;
    rows_->RemoveRow(number - 1);
    EnDisEditRemove();
}

void FormTLM_Func::Confirm() {
    FunctionDraft draft;
    draft.name = ToCore(name_->text());
    draft.returnTypeText = ToCore(returnType_->currentText());
    draft.returnTypeIndex = TypedIndex(returnType_);
    draft.rows = rows_->Rows();
    if (auto refusal = CheckFunctionDraft(draft)) {
        ShowRefusalIn(this, list_.Main(), *refusal);
        return;
    }
    TlmFunctionTable& table = list_.Functions();
    // The list refuses a 26th function before this dialog opens; this only guards the table.
    if (functionIndex_ == 0) {
        if (auto refusal = CheckFunctionCapacity(table.count)) {
            ShowRefusalIn(this, list_.Main(), *refusal);
            return;
        }
    }
    ApplyFunctionDraft(table, functionIndex_, draft);
    list_.FillListViewTLM();
    list_.EnDisEditRemove();
    accept();
}

void FormTLM_Func::reject() {
    if (!isEnabled()) return;
    QDialog::reject();
}

} // namespace kestrel
