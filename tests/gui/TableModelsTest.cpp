// The declaration lists' table models without a view: counts, headings, the column texts
// (hidden columns included), the library colour on a library row's visible columns only,
// and the row changes a view is told about.
#include "editors/TableModels.h"

#include <QBrush>
#include <QSignalSpy>
#include <QTest>

namespace kestrel {

namespace {

QStringList Texts(const QAbstractItemModel& model, int row) {
    QStringList texts;
    for (int i = 0; i < model.columnCount(); ++i) texts << model.index(row, i).data().toString();
    return texts;
}

QStringList Headings(const QAbstractItemModel& model) {
    QStringList headings;
    for (int i = 0; i < model.columnCount(); ++i)
        headings << model.headerData(i, Qt::Horizontal).toString();
    return headings;
}

QBrush Foreground(const QAbstractItemModel& model, int row, int column) {
    return model.index(row, column).data(Qt::ForegroundRole).value<QBrush>();
}

} // namespace

class TableModelsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void signalRowsReadAsTheListShowsThem() {
        SignalTableModel model;
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 9);
        QCOMPARE(Headings(model), (QStringList{"Direction", "Hardware Data Type", "Width", "Name",
                                               "DirID", "HDID", "isClk", "IVID", "isLibrary"}));
        model.SetRows({{"sc_in", "bool", "1", "clk", 0, 2, true, "1", false},
                       {"sc_out", "sc_lv", "12abc", "d\xe9", 1, 1, false, "0101", true}});
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(Texts(model, 0),
                 (QStringList{"sc_in", "bool", "1", "clk", "0", "2", "1", "1", "0"}));
        // Core texts are Windows-1252: 0xE9 is é.
        QCOMPARE(Texts(model, 1), (QStringList{"sc_out", "sc_lv", "12abc", QString::fromUtf8("dé"),
                                               "1", "1", "0", "0101", "1"}));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(Foreground(model, 1, i).color(), QColor(0x80, 0x80, 0xFF));
            QCOMPARE(Foreground(model, 0, i).style(), Qt::NoBrush);
        }
        QCOMPARE(Foreground(model, 1, 4).style(), Qt::NoBrush);
        QVERIFY(!model.index(2, 0).data().isValid());
        QVERIFY(!model.headerData(0, Qt::Vertical).isValid());
    }

    void parameterAndFunctionRows() {
        ParameterTableModel parameters;
        QCOMPARE(Headings(parameters), (QStringList{"Type", "PassBy", "Name", "ParaID", "PassByID",
                                                    "isConst", "isArray"}));
        parameters.AppendRow({"char", "&", "buf", 2, 1, true, true});
        QCOMPARE(Texts(parameters, 0),
                 (QStringList{"const char", "&", "buf []", "2", "1", "1", "1"}));
        QCOMPARE(Foreground(parameters, 0, 0).style(), Qt::NoBrush);

        FunctionTableModel functions;
        QCOMPARE(Headings(functions),
                 (QStringList{"Return Type", "Function Name", "Function Parameters"}));
        functions.SetRows({{"void", "write", "( int  a )", false}, {"int", "lib", "(  )", true}});
        QCOMPARE(Texts(functions, 0), (QStringList{"void", "write", "( int  a )"}));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(Foreground(functions, 1, i).color(), QColor(0x80, 0x80, 0xFF));
            QCOMPARE(Foreground(functions, 0, i).style(), Qt::NoBrush);
        }
    }

    void rowChangesReachTheViews() {
        SignalTableModel model;
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        const SignalRow a{"sc_in", "sc_logic", "1", "a", 0, 0, false, "0", false};
        const SignalRow b{"sc_out", "sc_logic", "1", "b", 1, 0, false, "1", false};
        model.AppendRow(a);
        model.AppendRow(b);
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(inserted.last().at(1).toInt(), 1);

        SignalRow edited = a;
        edited.name = "a2";
        model.ReplaceRow(0, edited);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last().at(1).value<QModelIndex>().column(), 8);
        model.ReplaceRow(5, edited); // no such row: nothing changes
        QCOMPARE(changed.count(), 1);

        model.RemoveRow(0);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(model.Rows(), (std::vector<SignalRow>{b}));
        model.RemoveRow(-1);
        QCOMPARE(model.rowCount(), 1);
    }
};

} // namespace kestrel

QTEST_MAIN(kestrel::TableModelsTest)
#include "TableModelsTest.moc"
