#pragma once
// FormTLM, the TLM Function Declarations window: the open project's functions, one row per
// function in table order, with Add and Edit (through FormTLM_Func), Remove, and OK that
// saves the table and updates the project record. It works on its own copy of the table,
// loaded when it opens; Cancel drops every change.
#include "model/TlmFunction.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;
class QTreeView;

namespace kestrel {

class FunctionTableModel;
class MainWindow;

class FormTLM : public QDialog {
    Q_OBJECT

public:
    // Loads the project's functions (none when it has not declared any) into a new window,
    // not shown yet. Null, after a message naming the file, when they cannot be read.
    static FormTLM* Open(MainWindow& main);

    MainWindow& Main() { return main_; }
    TlmFunctionTable& Functions() { return *table_; }
    // The function the declaration dialog works on: 0 to add one, else its table index.
    int SelectedTLM_FuncIndex() const { return selectedTLM_FuncIndex_; }

    void FillListViewTLM();
    void EnDisEditRemove();

    void Add();
    void Edit();
    void Remove();
    void Confirm();
    void reject() override;

private:
    FormTLM(MainWindow& main, std::unique_ptr<TlmFunctionTable> table);
    void OpenFunctionDialog();

    MainWindow& main_;
    std::unique_ptr<TlmFunctionTable> table_;
    int selectedTLM_FuncIndex_ = 0;
    FunctionTableModel* rows_ = nullptr;
    QTreeView* list_ = nullptr;
    QLabel* duplicates_ = nullptr; // two functions or parameters of one name
    QPushButton* edit_ = nullptr;
    QPushButton* remove_ = nullptr;
};

} // namespace kestrel
