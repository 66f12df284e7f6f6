// The declaration lists' table models: texts through the core's row texts, the library
// colour as the foreground of a library row's visible columns, the headings as the
// horizontal header, and row changes announced to the views.
#include "editors/TableModels.h"

#include "GuiText.h"
#include "GuiWidgets.h"

#include <QBrush>

namespace kestrel {

template <typename Row>
RowTableModel<Row>::RowTableModel(std::vector<ListColumn> columns, ColumnText text,
                                  IsLibraryRow isLibrary, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)), text_(text),
      isLibrary_(isLibrary) {}

template <typename Row> int RowTableModel<Row>::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

template <typename Row> int RowTableModel<Row>::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

template <typename Row>
QVariant RowTableModel<Row>::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const Row& row = RowAt(index.row());
    switch (role) {
    case Qt::DisplayRole: return FromCore(text_(row, index.column()));
    case Qt::ForegroundRole:
        if (isLibrary_(row) && columns_[static_cast<std::size_t>(index.column())].twips != 0)
            return QBrush(LibraryRowColour());
        return {};
    default: return {};
    }
}

template <typename Row>
QVariant RowTableModel<Row>::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return {};
    return QString::fromLatin1(columns_[static_cast<std::size_t>(section)].heading);
}

template <typename Row> void RowTableModel<Row>::SetRows(std::vector<Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

template <typename Row> void RowTableModel<Row>::AppendRow(const Row& row) {
    const int at = rowCount();
    beginInsertRows(QModelIndex(), at, at);
    rows_.push_back(row);
    endInsertRows();
}

template <typename Row> void RowTableModel<Row>::ReplaceRow(int row, const Row& value) {
    if (row < 0 || row >= rowCount()) return;
    rows_[static_cast<std::size_t>(row)] = value;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

template <typename Row> void RowTableModel<Row>::RemoveRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

template class RowTableModel<SignalRow>;
template class RowTableModel<ParameterRow>;
template class RowTableModel<FunctionListRow>;

namespace {

// The visible columns with their widths, then the hidden ones (width 0).
std::vector<ListColumn> ColumnsOf(std::initializer_list<ListColumn> visible,
                                  std::initializer_list<const char*> hidden = {}) {
    std::vector<ListColumn> columns(visible);
    for (const char* heading : hidden) columns.push_back({heading, 0});
    return columns;
}

} // namespace

SignalTableModel::SignalTableModel(QObject* parent)
    : RowTableModel(
          ColumnsOf(
              {{"Direction", 2540}, {"Hardware Data Type", 3069}, {"Width", 1235}, {"Name", 5293}},
              {"DirID", "HDID", "isClk", "IVID", "isLibrary"}),
          [](const SignalRow& row, int column) {
              return SignalRowTexts(row)[static_cast<std::size_t>(column)];
          },
          [](const SignalRow& row) { return row.isLibrary; }, parent) {}

ParameterTableModel::ParameterTableModel(QObject* parent)
    : RowTableModel(
          ColumnsOf({{"Type", 2893}, {"PassBy", 2540}, {"Name", 5646}},
                    {"ParaID", "PassByID", "isConst", "isArray"}),
          [](const ParameterRow& row, int column) {
              return ParameterRowTexts(row)[static_cast<std::size_t>(column)];
          },
          [](const ParameterRow&) { return false; }, parent) {}

FunctionTableModel::FunctionTableModel(QObject* parent)
    : RowTableModel(
          ColumnsOf(
              {{"Return Type", 2540}, {"Function Name", 2540}, {"Function Parameters", 7761}}),
          [](const FunctionListRow& row, int column) {
              return column == 0 ? row.returnType : column == 1 ? row.name : row.parameters;
          },
          [](const FunctionListRow& row) { return row.isLibrary; }, parent) {}

} // namespace kestrel
