#pragma once
// Pieces the declaration windows share: the report-style lists over a table model, with
// its hidden columns, Edit and Remove following the list,
// the editable type boxes, refusals with their focus, and opening a child window over a
// parent that stays disabled until the child closes.
#include "GuiText.h"
#include "editors/TableModels.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QPushButton>
#include <QString>
#include <QTreeView>

#include <functional>
#include <string>
#include <string_view>

class QDialog;
class QLabel;
class QWidget;

namespace kestrel {

class MainWindow;
struct InputRefusal;

// A report-style list of single rows, whole-row selection, showing the model's rows in
// its columns (widths in twips, hidden columns of width 0).
template <typename Row>
QTreeView* MakeReportList(QWidget* parent, const char* objectName, RowTableModel<Row>* model) {
    return MakeReportView(parent, objectName, model, model->Columns());
}
QTreeView* MakeReportView(QWidget* parent, const char* objectName, QAbstractItemModel* model,
                          const std::vector<ListColumn>& columns);

// The buttons of a list window.
struct ListWindowButtons {
    QPushButton* add;
    QPushButton* edit;
    QPushButton* remove;
    QPushButton* ok;
    QPushButton* cancel;
};

// Lays out a list window: the frame holding the list, and under it Add, Edit and Remove
// on the left, OK (the default button) and Cancel on the right.
ListWindowButtons LayOutListWindow(QDialog* window, QWidget* frame, QTreeView* list);

// Add, Edit, Remove, OK and Cancel run the window's Add, Edit, Remove, Confirm and reject;
// a double click on a row edits it while Edit is enabled.
template <class Window>
void ConnectListWindow(Window* window, const ListWindowButtons& buttons, QTreeView* list) {
    QObject::connect(buttons.add, &QPushButton::clicked, window, &Window::Add);
    QObject::connect(buttons.edit, &QPushButton::clicked, window, &Window::Edit);
    QObject::connect(buttons.remove, &QPushButton::clicked, window, &Window::Remove);
    QObject::connect(buttons.ok, &QPushButton::clicked, window, &Window::Confirm);
    QObject::connect(buttons.cancel, &QPushButton::clicked, window, &Window::reject);
    QPushButton* edit = buttons.edit;
    QObject::connect(list, &QTreeView::doubleClicked, window, [window, edit] {
        if (edit->isEnabled()) window->Edit();
    });
}

// Runs `show` on the window whenever the rows of the model change.
template <class Window>
void FollowRows(QAbstractItemModel* rows, Window* window, void (Window::*show)()) {
    QObject::connect(rows, &QAbstractItemModel::modelReset, window, show);
    QObject::connect(rows, &QAbstractItemModel::rowsInserted, window, show);
    QObject::connect(rows, &QAbstractItemModel::rowsRemoved, window, show);
    QObject::connect(rows, &QAbstractItemModel::dataChanged, window, show);
}

// The line under a list that warns of what its rows would make of the generated C++ (two
// rows of one name): added to the layout of `frame`, hidden while there is nothing to say.
QLabel* AddListWarning(QWidget* frame, const char* objectName);
void ShowListWarnings(QLabel* label, const std::vector<std::string>& warnings);

// The 1-based number of the list's current row; 0 when there is none.
int SelectedRowNumber(const QTreeView* list);

// No rows: Edit and Remove disabled. Otherwise both enabled and the current row (the
// first one when there is none) shown selected.
void EnDisEditRemove(QTreeView* list, QWidget* edit, QWidget* remove);

// An editable drop-down box holding the entries; typed texts are never added to them.
template <typename Entries>
QComboBox* MakeTypeBox(QWidget* parent, const char* objectName, const Entries& entries) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view entry : entries) box->addItem(FromCore(entry));
    return box;
}
// The position of the box's entry when its text is that entry's, -1 for a typed text.
int TypedIndex(const QComboBox* box);
// Puts a box on an entry (on none for a position outside the list) showing `text`.
void ShowEntry(QComboBox* box, int index, const QString& text);

// The refusal's message box; then the focus goes to the control it names.
void ShowRefusalIn(QDialog* dialog, MainWindow& main, const InputRefusal& refusal);

// Disables `parent`, then makes the child window (parented to `parent`), places and shows
// it; it is deleted when it closes. When it closes, by OK or Cancel, the parent is enabled
// again and brought to the front. Returns the child.
QDialog* OpenChildWindow(QDialog* parent, MainWindow& main,
                         const std::function<QDialog*()>& makeChild);

} // namespace kestrel
