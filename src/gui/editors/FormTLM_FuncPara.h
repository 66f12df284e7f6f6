#pragma once
// FormTLM_FuncPara, the function parameter dialog: name, type, pass-by, const and array of
// one parameter. It adds or rewrites one row of the declaration dialog's parameter list.
#include "project/ParameterRules.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kestrel {

class FormTLM_Func;

class FormTLM_FuncPara : public QDialog {
    Q_OBJECT

public:
    // Opens as FormTLM_Func's isAdd says: a new row, or row SelectedListViewParaIndex.
    explicit FormTLM_FuncPara(FormTLM_Func& function);

    // What the boxes hold.
    ParameterDraft Draft() const;
    void Confirm();

private:
    FormTLM_Func& function_;
    bool isAdd_ = true;
    int selectedListViewParaIndex_ = 0;
    QLineEdit* name_ = nullptr;
    QComboBox* type_ = nullptr;
    QComboBox* passBy_ = nullptr;
    QCheckBox* const_ = nullptr;
    QCheckBox* array_ = nullptr;
};

} // namespace kestrel
