#pragma once
// FormRTL, the RTL Ports window: the open project's signals as working rows, Add and Edit
// (through FormRTL_Type), Remove, and OK, which insists on a clock while there are rows,
// rebuilds the table from the rows, fits the initial values, saves the table and updates
// the project record. Cancel drops the rows.
#include "model/RtlSignal.h"
#include "project/SignalRules.h"

#include <QDialog>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QTreeView;

namespace kestrel {

class MainWindow;
class SignalTableModel;

class FormRTL : public QDialog {
    Q_OBJECT

public:
    // Loads the project's signals (none when it has not declared any) into a new window,
    // not shown yet. Null, after a message naming the file, when they cannot be read.
    static FormRTL* Open(MainWindow& main);

    MainWindow& Main() { return main_; }
    // The signal dialog reads these: whether it adds a row, and which row it edits.
    bool isAdd() const { return isAdd_; }
    int SelectedListViewRSigIndex() const { return selectedListViewRSigIndex_; }

    int RowCount() const;
    SignalRow Row(int number) const; // 1-based
    std::vector<SignalRow> Rows() const;
    void AppendRow(const SignalRow& row);
    void ReplaceRow(int number, const SignalRow& row);
    void EnDisEditRemove();

    void Add();
    void Edit();
    void Remove();
    void Confirm();
    void reject() override;

private:
    FormRTL(MainWindow& main, std::unique_ptr<RtlSignalTable> table);
    void OpenSignalDialog();
    void ShowDuplicates();

    MainWindow& main_;
    std::unique_ptr<RtlSignalTable> table_;
    bool isAdd_ = false;
    int selectedListViewRSigIndex_ = 0;
    SignalTableModel* rows_ = nullptr;
    QTreeView* list_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLabel* duplicates_ = nullptr; // two ports of one name
};

} // namespace kestrel
