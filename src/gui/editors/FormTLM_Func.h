#pragma once
// FormTLM_Func, the TLM function declaration dialog: the name, the return type and the
// working list of parameter rows of one function, added or edited over the function list.
// OK writes the function into the list's table and refreshes the list; it writes no file.
#include "project/ParameterRules.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace kestrel {

class FormTLM;
class ParameterTableModel;

class FormTLM_Func : public QDialog {
    Q_OBJECT

public:
    // Opens on the function FormTLM's SelectedTLM_FuncIndex names (0: a new function).
    explicit FormTLM_Func(FormTLM& list);

    FormTLM& List() { return list_; }
    // The parameter dialog reads these: whether it adds a row, and which row it edits.
    bool isAdd() const { return isAdd_; }
    int SelectedListViewParaIndex() const { return selectedListViewParaIndex_; }
    // The function name as currently typed.
    QString FunctionNameText() const;

    int RowCount() const;
    ParameterRow Row(int number) const; // 1-based
    void AppendRow(const ParameterRow& row);
    void ReplaceRow(int number, const ParameterRow& row);
    void EnDisEditRemove();

    void Add();
    void Edit();
    void Remove();
    void Confirm();
    void reject() override;

private:
    void OpenParameterDialog();
    void ShowDuplicates();

    FormTLM& list_;
    int functionIndex_ = 0;
    bool isAdd_ = false;
    int selectedListViewParaIndex_ = 0;
    QLineEdit* name_ = nullptr;
    QComboBox* returnType_ = nullptr;
    ParameterTableModel* rows_ = nullptr;
    QTreeView* parameters_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLabel* duplicates_ = nullptr; // two parameters of one name
};

} // namespace kestrel
