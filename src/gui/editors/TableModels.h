#pragma once
// The rows of the declaration lists as table models: the signal list of the RTL Ports
// window, the parameter list of the function dialog and the function list of the TLM
// window. Each holds the core's typed rows; the column texts come from the core's row
// texts, the hidden columns included (the views hide them), and a library row reads in the
// library colour in its visible columns.
#include "project/FunctionRules.h"
#include "project/ParameterRules.h"
#include "project/SignalRules.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace kestrel {

struct ListColumn {
    const char* heading;
    int twips; // 0: a hidden column that carries an index or a flag
};

template <typename Row> class RowTableModel : public QAbstractTableModel {
public:
    // The text of a column of a row (core bytes), and whether a row is a library row.
    using ColumnText = std::string (*)(const Row& row, int column);
    using IsLibraryRow = bool (*)(const Row& row);

    RowTableModel(std::vector<ListColumn> columns, ColumnText text, IsLibraryRow isLibrary,
                  QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const std::vector<ListColumn>& Columns() const { return columns_; }
    const std::vector<Row>& Rows() const { return rows_; }
    // Rows are counted from 0 here, as the view counts them.
    const Row& RowAt(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
    void SetRows(std::vector<Row> rows);
    void AppendRow(const Row& row);
    // A row number outside the list changes nothing.
    void ReplaceRow(int row, const Row& value);
    void RemoveRow(int row);

private:
    std::vector<ListColumn> columns_;
    ColumnText text_;
    IsLibraryRow isLibrary_;
    std::vector<Row> rows_;
};

// "Direction", "Hardware Data Type", "Width", "Name" and the five hidden columns.
class SignalTableModel : public RowTableModel<SignalRow> {
public:
    explicit SignalTableModel(QObject* parent = nullptr);
};

// "Type", "PassBy", "Name" and the four hidden columns; no library rows.
class ParameterTableModel : public RowTableModel<ParameterRow> {
public:
    explicit ParameterTableModel(QObject* parent = nullptr);
};

// "Return Type", "Function Name", "Function Parameters".
class FunctionTableModel : public RowTableModel<FunctionListRow> {
public:
    explicit FunctionTableModel(QObject* parent = nullptr);
};

extern template class RowTableModel<SignalRow>;
extern template class RowTableModel<ParameterRow>;
extern template class RowTableModel<FunctionListRow>;

} // namespace kestrel
