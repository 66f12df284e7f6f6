// The signal dialog. The boxes are read into a SignalDraft and shown from one; the core's
// SignalDraftOf / NewSignalDraft give what opening shows, SelectDataType (EnDisWidth) runs
// whenever a data type entry is selected and SetClock whenever "Clock Signal" changes.
// OK checks the draft (empty name, then the initial value's characters), then appends or
// rewrites the row through BuildSignalRow; an edited row keeps its library column.
#include "editors/FormRTL_Type.h"

#include "GuiText.h"
#include "GuiWidgets.h"
#include "MainWindow.h"
#include "editors/FormRTL.h"
#include "editors/ReportList.h"

#include <algorithm>

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace kestrel {

namespace {

constexpr int kMaxInitValueLength = 64;

} // namespace

FormRTL_Type::FormRTL_Type(FormRTL& list)
    : QDialog(&list), list_(list), isAdd_(list.isAdd()),
      selectedListViewRSigIndex_(list.SelectedListViewRSigIndex()) {
    setObjectName(QStringLiteral("FormRTL_Type"));

    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("TextSName"));
    direction_ = MakeTypeBox(this, "ComboDir", kDirectionNames);
    dataType_ = MakeTypeBox(this, "ComboHDType", kDataTypeNames);
    width_ = MakeTypeBox(this, "ComboWidth", kWidthEntries);
    initValue_ = new QLineEdit(this);
    initValue_->setObjectName(QStringLiteral("TextIV"));
    initValue_->setAlignment(Qt::AlignRight);
    initValue_->setMaxLength(kMaxInitValueLength);
    clock_ = new QCheckBox(QStringLiteral("Clock Signal"), this);
    clock_->setObjectName(QStringLiteral("CheckClk"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Port Name:"), name_);
    fields->addRow(QStringLiteral("Direction:"), direction_);
    fields->addRow(QStringLiteral("Hardware Data Type:"), dataType_);
    fields->addRow(QStringLiteral("Width:"), width_);
    fields->addRow(QStringLiteral("Initial Value:"), initValue_);
    fields->addRow(clock_);

    QHBoxLayout* buttons = ConfirmCancelRow(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    // Selecting an entry, not typing a text, runs EnDisWidth; picking the entry that is
    // already current (after a typed text) counts as selecting it.
    connect(dataType_, &QComboBox::currentIndexChanged, this, &FormRTL_Type::EnDisWidth);
    connect(dataType_, &QComboBox::activated, this, &FormRTL_Type::EnDisWidth);
    connect(clock_, &QCheckBox::toggled, this, &FormRTL_Type::ApplyClockRule);

    if (isAdd_) {
        setWindowTitle(FromCore(SignalDialogCaption(nullptr)));
        ShowDraft(NewSignalDraft());
    } else {
        const SignalRow row = list_.Row(selectedListViewRSigIndex_);
        setWindowTitle(FromCore(SignalDialogCaption(&row)));
        ShowDraft(SignalDraftOf(row));
    }
}

SignalDraft FormRTL_Type::Draft() const {
    SignalDraft draft;
    draft.name = ToCore(name_->text());
    draft.directionText = ToCore(direction_->currentText());
    draft.directionIndex = TypedIndex(direction_);
    draft.dataTypeText = ToCore(dataType_->currentText());
    draft.dataTypeIndex = TypedIndex(dataType_);
    draft.widthText = ToCore(width_->currentText());
    draft.widthEnabled = width_->isEnabled();
    draft.initText = ToCore(initValue_->text());
    draft.clock = clock_->isChecked();
    draft.boxesEnabled = direction_->isEnabled();
    return draft;
}

void FormRTL_Type::ShowDraft(const SignalDraft& draft) {
    // Showing a draft is not a user's choice: the rules already ran on it.
    const QSignalBlocker typeBlocker(dataType_);
    const QSignalBlocker clockBlocker(clock_);
    name_->setText(FromCore(draft.name));
    ShowEntry(direction_, draft.directionIndex, FromCore(draft.directionText));
    ShowEntry(dataType_, draft.dataTypeIndex, FromCore(draft.dataTypeText));
    const QString width = FromCore(draft.widthText);
    ShowEntry(width_, width_->findText(width, Qt::MatchExactly), width);
    // 64 characters can be typed, but a stored value of a wider sc_lv is longer and must
    // be shown whole: the box's limit never cuts a text the program puts there.
    const QString init = FromCore(draft.initText);
    initValue_->setMaxLength(std::max(kMaxInitValueLength, static_cast<int>(init.size())));
    initValue_->setText(init);
    clock_->setChecked(draft.clock);
    width_->setEnabled(draft.widthEnabled);
    direction_->setEnabled(draft.boxesEnabled);
    dataType_->setEnabled(draft.boxesEnabled);
    initValue_->setEnabled(draft.boxesEnabled);
}

void FormRTL_Type::EnDisWidth() {
    SignalDraft draft = Draft();
    SelectDataType(draft, dataType_->currentIndex());
    ShowDraft(draft);
}

void FormRTL_Type::ApplyClockRule(bool checked) {
    SignalDraft draft = Draft();
    SetClock(draft, checked);
    ShowDraft(draft);
}

void FormRTL_Type::Confirm() {
    SignalDraft draft = Draft();
    if (auto refusal = CheckSignalDraft(draft)) {
        ShowRefusalIn(this, list_.Main(), *refusal);
        return;
    }
    // An empty initial value has become "0".
    initValue_->setText(FromCore(draft.initText));
    if (isAdd_) {
        list_.AppendRow(BuildSignalRow(draft));
    } else {
        const SignalRow edited = list_.Row(selectedListViewRSigIndex_);
        list_.ReplaceRow(selectedListViewRSigIndex_, BuildSignalRow(draft, edited.isLibrary));
    }
    list_.EnDisEditRemove();
    accept();
}

} // namespace kestrel
