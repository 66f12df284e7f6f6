// The shared pieces of the declaration windows: report lists (column widths in twips,
// hidden columns of width 0), selection upkeep for Edit and
// Remove, editable type boxes read as entry positions or -1, refusals with their focus,
// and child windows that keep their parent disabled while open.
#include "editors/ReportList.h"

#include "DialogPlacement.h"
#include "GuiWidgets.h"
#include "MainWindow.h"
#include "RefusedFields.h"
#include "UiServices.h"
#include "project/FunctionRules.h"
#include "project/InputRefusal.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <QVBoxLayout>

namespace kestrel {

QTreeView* MakeReportView(QWidget* parent, const char* objectName, QAbstractItemModel* model,
                          const std::vector<ListColumn>& columns) {
    auto* list = new QTreeView(parent);
    model->setParent(list);
    list->setModel(model);
    list->setObjectName(QString::fromLatin1(objectName));
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setStretchLastSection(false);
    const double dpi = list->logicalDpiX();
    int visibleWidth = 0;
    int index = 0;
    for (const ListColumn& column : columns) {
        if (column.twips == 0) {
            list->setColumnHidden(index, true);
        } else {
            const int pixels = TwipsToPixels(column.twips, dpi);
            list->setColumnWidth(index, pixels);
            visibleWidth += pixels;
        }
        ++index;
    }
    list->setMinimumWidth(visibleWidth + 4);
    return list;
}

QLabel* AddListWarning(QWidget* frame, const char* objectName) {
    auto* label = NamedWidget<QLabel>(objectName, frame);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet(QStringLiteral("color: #a04000;"));
    label->hide();
    frame->layout()->addWidget(label);
    return label;
}

void ShowListWarnings(QLabel* label, const std::vector<std::string>& warnings) {
    QStringList lines;
    for (const std::string& warning : warnings)
        lines << QStringLiteral("Warning: ") + FromCore(warning);
    label->setText(lines.join(QLatin1Char('\n')));
    label->setVisible(!lines.isEmpty());
}

int SelectedRowNumber(const QTreeView* list) {
    const QModelIndex current = list->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void EnDisEditRemove(QTreeView* list, QWidget* edit, QWidget* remove) {
    const bool rows = list->model()->rowCount() > 0;
    edit->setEnabled(rows);
    remove->setEnabled(rows);
    if (!rows) return;
    QModelIndex current = list->currentIndex();
    if (!current.isValid()) current = list->model()->index(0, 0);
    list->setCurrentIndex(current);
    list->selectionModel()->select(current,
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

int TypedIndex(const QComboBox* box) {
    const int index = box->currentIndex();
    return index >= 0 && box->itemText(index) == box->currentText() ? index : -1;
}

void ShowEntry(QComboBox* box, int index, const QString& text) {
    if (index >= 0 && index < box->count()) {
        box->setCurrentIndex(index);
    } else {
        box->setCurrentIndex(-1);
    }
    if (box->currentText() != text) box->setEditText(text);
}

void ShowRefusalIn(QDialog* dialog, MainWindow& main, const InputRefusal& refusal) {
    ShowRefusal(main.Context().ui, dialog, refusal);
    FocusRefusedField(dialog, refusal.field);
}

QDialog* OpenChildWindow(QDialog* parent, MainWindow& main,
                         const std::function<QDialog*()>& makeChild) {
    parent->setEnabled(false);
    QDialog* child = makeChild();
    child->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(child, &QDialog::finished, parent, [parent] {
        parent->setEnabled(true);
        parent->raise();
        parent->activateWindow();
    });
    PlaceDialog(child, &main);
    child->show();
    return child;
}

ListWindowButtons LayOutListWindow(QDialog* window, QWidget* frame, QTreeView* list) {
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(list);
    ListWindowButtons b{NamedButton("CommandAdd", "Add", window),
                        NamedButton("CommandEdit", "Edit", window),
                        NamedButton("CommandRemove", "Remove", window), nullptr, nullptr};
    QHBoxLayout* buttons = OkCancelRow(window, b.ok, b.cancel);
    buttons->insertWidget(0, b.add);
    buttons->insertWidget(1, b.edit);
    buttons->insertWidget(2, b.remove);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    window->resize(window->sizeHint().width(), 360);
    return b;
}

} // namespace kestrel
