// The parameter dialog. Opening reads isAdd and SelectedListViewParaIndex of the
// declaration dialog, and its function name as currently typed for the caption; an edited
// row is shown without its " []". OK checks the boxes through CheckParameterDraft (empty
// name, then "void"), builds the row with BuildParameterRow and appends or replaces it.
#include "editors/FormTLM_FuncPara.h"

#include "GuiText.h"
#include "GuiWidgets.h"
#include "MainWindow.h"
#include "editors/FormTLM.h"
#include "editors/FormTLM_Func.h"
#include "editors/ReportList.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

FormTLM_FuncPara::FormTLM_FuncPara(FormTLM_Func& function)
    : QDialog(&function), function_(function), isAdd_(function.isAdd()),
      selectedListViewParaIndex_(function.SelectedListViewParaIndex()) {
    setObjectName(QStringLiteral("FormTLM_FuncPara"));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("FramePara"));
    name_ = new QLineEdit(frame);
    name_->setObjectName(QStringLiteral("TextPName"));
    type_ = MakeTypeBox(frame, "ComboParaType", kCTypeNames);
    passBy_ = MakeTypeBox(frame, "ComboPassBy", kPassByEntries);
    const_ = new QCheckBox(QStringLiteral("Use Const"), frame);
    const_->setObjectName(QStringLiteral("CheckConst"));
    array_ = new QCheckBox(QStringLiteral("1D Array"), frame);
    array_->setObjectName(QStringLiteral("CheckArray"));
    auto* checks = new QHBoxLayout;
    checks->addWidget(const_);
    checks->addWidget(array_);
    checks->addStretch();
    auto* fields = new QFormLayout(frame);
    fields->addRow(QStringLiteral("Parameter Name:"), name_);
    fields->addRow(QStringLiteral("Parameter Type:"), type_);
    fields->addRow(QStringLiteral("Pass By:"), passBy_);
    fields->addRow(checks);

    QHBoxLayout* buttons = ConfirmCancelRow(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    const std::string functionName = ToCore(function_.FunctionNameText());
    if (isAdd_) {
        setWindowTitle(FromCore(ParameterDialogCaption(nullptr, functionName)));
        type_->setCurrentIndex(0);
        passBy_->setCurrentIndex(0);
        return;
    }
    const ParameterRow row = function_.Row(selectedListViewParaIndex_);
    setWindowTitle(FromCore(ParameterDialogCaption(&row, functionName)));
    // The boxes stand on the row's positions (none for a typed text, -1); the name is
    // shown without the " []" of an array.
    ShowEntry(type_, row.typeIndex, type_->itemText(row.typeIndex));
    ShowEntry(passBy_, row.passIndex, passBy_->itemText(row.passIndex));
    name_->setText(FromCore(row.name));
    const_->setChecked(row.isConst);
    array_->setChecked(row.isArray);
}

ParameterDraft FormTLM_FuncPara::Draft() const {
    ParameterDraft draft;
    draft.name = ToCore(name_->text());
    draft.typeText = ToCore(type_->currentText());
    draft.typeIndex = TypedIndex(type_);
    draft.passByText = ToCore(passBy_->currentText());
    draft.passIndex = TypedIndex(passBy_);
    draft.isConst = const_->isChecked();
    draft.isArray = array_->isChecked();
    return draft;
}

void FormTLM_FuncPara::Confirm() {
    const ParameterDraft draft = Draft();
    if (auto refusal = CheckParameterDraft(draft)) {
        ShowRefusalIn(this, function_.List().Main(), *refusal);
        return;
    }
    const ParameterRow row = BuildParameterRow(draft);
    if (isAdd_)
        function_.AppendRow(row);
    else
        function_.ReplaceRow(selectedListViewParaIndex_, row);
    function_.EnDisEditRemove();
    accept();
}

} // namespace kestrel
