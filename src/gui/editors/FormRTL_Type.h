#pragma once
// FormRTL_Type, the RTL signal dialog: name, direction, hardware data type, width, initial
// value and the clock mark of one port. It adds or rewrites one working row of FormRTL.
#include "project/SignalRules.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kestrel {

class FormRTL;

class FormRTL_Type : public QDialog {
    Q_OBJECT

public:
    // Opens as FormRTL's isAdd says: a new row, or row SelectedListViewRSigIndex.
    explicit FormRTL_Type(FormRTL& list);

    // What the boxes hold, and showing a draft in them.
    SignalDraft Draft() const;
    void ShowDraft(const SignalDraft& draft);

    // The width box follows the data type; the clock rule follows "Clock Signal".
    void EnDisWidth();
    void Confirm();

private:
    void ApplyClockRule(bool checked);

    FormRTL& list_;
    bool isAdd_ = true;
    int selectedListViewRSigIndex_ = 0;
    QComboBox* direction_ = nullptr;
    QComboBox* dataType_ = nullptr;
    QComboBox* width_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* initValue_ = nullptr;
    QCheckBox* clock_ = nullptr;
};

} // namespace kestrel
