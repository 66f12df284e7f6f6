// The Code Generation Settings window: what it shows when it opens, its enabling rules,
// the library browse button, each refusal of OK with its message, tab and field, a stored
// OK, Cancel, and re-enabling whichever window opened it.
#include "FormOption.h"
#include "FormGenTran.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>

namespace kestrel::test {

namespace {

struct OpenedOptions {
    QTemporaryDir dir;
    ProjectRecord project;
    TestApp app;
    FormOption* dialog = nullptr;

    OpenedOptions() {
        project = MakeProject(dir.path(), QStringLiteral("Clocked"));
        app.main->Start(TpPath(project));
        app.main->RunCommand(AppCommand::CodeSettings);
        dialog = app.main->findChild<FormOption*>(QStringLiteral("FormOption"));
    }
    QByteArray StoredOptions() const {
        return FileBytes(FromCore(InputPath(project.projectFolder, kOptionFile)));
    }
};

void SetClock(QWidget* dialog, const char* setup, int setupUnit, const char* period,
              int periodUnit) {
    Control<QLineEdit>(dialog, "TextSetup")->setText(QString::fromLatin1(setup));
    Control<QComboBox>(dialog, "ComboSetup")->setCurrentIndex(setupUnit);
    Control<QLineEdit>(dialog, "TextPeriod")->setText(QString::fromLatin1(period));
    Control<QComboBox>(dialog, "ComboPeriod")->setCurrentIndex(periodUnit);
}

} // namespace

class FormOptionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsTheStoredOptions() {
        OpenedOptions o;
        QVERIFY(o.dialog);
        QWidget* d = o.dialog;
        QCOMPARE(d->windowTitle(), QStringLiteral("Code Generation Settings"));
        auto* tabs = Control<QTabWidget>(d, "SSTabOpt");
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Generation Method"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Clock"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Library"));
        QCOMPARE(tabs->tabText(3), QStringLiteral("Comment"));
        QCOMPARE(tabs->currentIndex(), 0);

        QCOMPARE(Control<QRadioButton>(d, "OptionMethod2")->text(),
                 QStringLiteral("Using  AsmL Specification"));
        QVERIFY(Control<QRadioButton>(d, "OptionMethod2")->isChecked());
        QVERIFY(Control<QRadioButton>(d, "OptionClkPos")->isChecked());
        QVERIFY(!Control<QRadioButton>(d, "OptionClkNeg")->isChecked());
        QVERIFY(Control<QCheckBox>(d, "CheckSetup")->isChecked());
        QCOMPARE(Control<QLineEdit>(d, "TextSetup")->text(), QStringLiteral("1"));
        QCOMPARE(Control<QComboBox>(d, "ComboSetup")->currentText(), QStringLiteral("SC_PS"));
        QCOMPARE(Control<QComboBox>(d, "ComboSetup")->count(), 6);
        QCOMPARE(Control<QComboBox>(d, "ComboPeriod")->currentText(), QStringLiteral("SC_NS"));
        QCOMPARE(Control<QComboBox>(d, "ComboPeriod")->itemText(5), QStringLiteral("SC_SEC"));
        QVERIFY(!Control<QCheckBox>(d, "CheckLib")->isChecked());
        QCOMPARE(Control<QLineEdit>(d, "TextLibFName")->text(),
                 o.dir.path() + "/Clocked/Output/Clocked.tlib");
        QCOMPARE(Control<QLineEdit>(d, "TextTitle")->text(), QStringLiteral("Clocked Transactor"));
        QCOMPARE(Control<QLineEdit>(d, "TextAuthor")->text(), QStringLiteral("designer"));
        QVERIFY(!Control<QCheckBox>(d, "CheckH")->isChecked());

        // Enabling rules follow the two check boxes.
        QVERIFY(Control<QWidget>(d, "TextSetup")->isEnabled());
        QVERIFY(!Control<QWidget>(d, "TextLibFName")->isEnabled());
        QVERIFY(!Control<QWidget>(d, "CommandSaveAsLib")->isEnabled());
        tabs->setCurrentIndex(1);
        QTest::mouseClick(Control<QCheckBox>(d, "CheckSetup"), Qt::LeftButton);
        QVERIFY(!Control<QWidget>(d, "TextSetup")->isEnabled());
        QVERIFY(!Control<QWidget>(d, "ComboSetup")->isEnabled());
        tabs->setCurrentIndex(2);
        QTest::mouseClick(Control<QCheckBox>(d, "CheckLib"), Qt::LeftButton);
        QVERIFY(Control<QWidget>(d, "TextLibFName")->isEnabled());
        QVERIFY(Control<QWidget>(d, "CommandSaveAsLib")->isEnabled());

        // The library browse button: cancel keeps the box, a choice replaces it.
        auto* library = Control<QLineEdit>(d, "TextLibFName");
        Click(d, "CommandSaveAsLib");
        const UiCall save = o.app.ui.calls.last();
        QCOMPARE(save.kind, QStringLiteral("save"));
        QCOMPARE(save.title, QStringLiteral("Save Library File As..."));
        QCOMPARE(save.filter, QStringLiteral("Transactor Library (*.tlib)|*.tlib"));
        QCOMPARE(save.folder, o.dir.path() + "/Clocked/Output");
        QCOMPARE(library->text(), o.dir.path() + "/Clocked/Output/Clocked.tlib");
        o.app.ui.fileAnswers << QStringLiteral("/libs/Other.tlib");
        Click(d, "CommandSaveAsLib");
        QCOMPARE(library->text(), QStringLiteral("/libs/Other.tlib"));
    }

    void refusals_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("setupUnit");
        QTest::addColumn<QString>("period");
        QTest::addColumn<int>("periodUnit");
        QTest::addColumn<int>("method");
        QTest::addColumn<bool>("library");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("focus");
        const QString smaller = QStringLiteral("Setup Time must be smaller than Clock Period");
        const QString gap =
            QStringLiteral("Unit gap between Setup Time and Clock Period is too large");
        QTest::newRow("equal") << "5" << 2 << "5" << 2 << 2 << false << smaller << "Clock" << 1
                               << "TextSetup";
        QTest::newRow("larger unit")
            << "1" << 3 << "900" << 2 << 2 << false << smaller << "Clock" << 1 << "TextSetup";
        QTest::newRow("fs to sec")
            << "1" << 0 << "1" << 5 << 2 << false << gap << "Clock" << 1 << "ComboSetup";
        QTest::newRow("ps to sec")
            << "1" << 1 << "1" << 5 << 1 << false << gap << "Clock" << 1 << "ComboSetup";
        QTest::newRow("template library")
            << "1" << 1 << "1" << 2 << 3 << true
            << "Library cannot be created if generating Just Transactor Template.\r\n"
               "Please Uncheck Make Library check box \r\n"
               "or Choose other Transactor Generation Method"
            << "Kestrel" << 2 << "CheckLib";
        QTest::newRow("beyond 16 bits") << "1" << 1 << "40000" << 2 << 2 << false
                                        << "Clock Period must be a number from -32768 to 32767"
                                        << "Clock" << 1 << "TextPeriod";
    }

    void refusals() {
        QFETCH(QString, setup);
        QFETCH(int, setupUnit);
        QFETCH(QString, period);
        QFETCH(int, periodUnit);
        QFETCH(int, method);
        QFETCH(bool, library);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(int, tab);
        QFETCH(QString, focus);
        OpenedOptions o;
        QWidget* d = o.dialog;
        const QByteArray before = o.StoredOptions();
        SetClock(d, qPrintable(setup), setupUnit, qPrintable(period), periodUnit);
        Control<QRadioButton>(d, qPrintable(QStringLiteral("OptionMethod%1").arg(method)))
            ->setChecked(true);
        Control<QCheckBox>(d, "CheckLib")->setChecked(library);
        Control<QPlainTextEdit>(d, "TextCom")->setPlainText(QStringLiteral("abc"));
        Click(d, "CommandOK");

        QCOMPARE(o.app.ui.Messages().size(), 1);
        const UiCall message = o.app.ui.Messages().first();
        QCOMPARE(message.text, text);
        QCOMPARE(message.title, title);
        QCOMPARE(message.icon, MessageIcon::Critical);
        QCOMPARE(Control<QTabWidget>(d, "SSTabOpt")->currentIndex(), tab);
        QCOMPARE(d->focusWidget(), Control<QWidget>(d, qPrintable(focus)));
        // The window stays with what was typed; the comment got its final line break.
        QVERIFY(o.app.main->findChild<FormOption*>(QStringLiteral("FormOption")));
        QCOMPARE(Control<QLineEdit>(d, "TextSetup")->text(), setup);
        QCOMPARE(Control<QPlainTextEdit>(d, "TextCom")->toPlainText(), QStringLiteral("abc\n"));
        QCOMPARE(o.StoredOptions(), before);
    }

    void okStoresAndReenablesTheMainWindow() {
        OpenedOptions o;
        QWidget* d = o.dialog;
        QVERIFY(!o.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
        SetClock(d, "2", 1, "10", 2);
        Control<QRadioButton>(d, "OptionClkNeg")->setChecked(true);
        Control<QRadioButton>(d, "OptionMethod1")->setChecked(true);
        Control<QCheckBox>(d, "CheckLib")->setChecked(true);
        Control<QLineEdit>(d, "TextLibFName")->setText(QStringLiteral("  /libs/Bus.tlib  "));
        Control<QLineEdit>(d, "TextCompany")->setText(QStringLiteral(" Acme "));
        Control<QPlainTextEdit>(d, "TextCom")->setPlainText(QStringLiteral("first\nsecond"));
        Control<QCheckBox>(d, "CheckH")->setChecked(true);
        Click(d, "CommandOK");
        QVERIFY(o.app.ui.calls.isEmpty());
        QTRY_VERIFY(!o.app.main->findChild<FormOption*>(QStringLiteral("FormOption")));
        QVERIFY(o.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
        QVERIFY(o.app.main->MenuItem(AppCommand::CodeSettings)->isEnabled());

        ProjectOptions stored;
        QVERIFY(LoadOptions(o.project.projectFolder, stored).ok());
        QCOMPARE(stored.generationMethod, 1);
        QVERIFY(!stored.clockPositiveEdge);
        QCOMPARE(stored.setupTime, 2);
        QCOMPARE(QString::fromStdString(stored.setupUnit), QStringLiteral("SC_PS"));
        QCOMPARE(stored.clockPeriod, 10);
        QCOMPARE(stored.periodUnitIndex, 2);
        QCOMPARE(stored.setupWait, 9998); // 10 ns less 2 ps, in ps
        QCOMPARE(QString::fromStdString(stored.setupWaitUnit), QStringLiteral("SC_PS"));
        QVERIFY(stored.makeLibrary);
        QCOMPARE(QString::fromStdString(stored.libraryFile), QStringLiteral("/libs/Bus.tlib"));
        QCOMPARE(QString::fromStdString(stored.company), QStringLiteral(" Acme "));
        QCOMPARE(QString::fromStdString(stored.comment), QStringLiteral("first\r\nsecond\r\n"));
        QVERIFY(stored.useCommentInHeaders);
    }

    void cancelStoresNothing() {
        OpenedOptions o;
        const QByteArray before = o.StoredOptions();
        SetClock(o.dialog, "4", 2, "5", 2);
        Click(o.dialog, "CommandCancel");
        QTRY_VERIFY(!o.app.main->findChild<FormOption*>(QStringLiteral("FormOption")));
        QCOMPARE(o.StoredOptions(), before);
        QVERIFY(o.app.main->Menu("MenuFile")->menuAction()->isEnabled());
        QVERIFY(o.app.ui.calls.isEmpty());
    }

    void openedFromGenerateReenablesGenerate() {
        QTemporaryDir dir;
        ProjectRecord project = MakeProject(dir.path(), QStringLiteral("Chain"));
        SetStoredStage(project, 3);
        TestApp app;
        app.main->Start(TpPath(project));
        app.main->RunCommand(AppCommand::Generate);
        auto* generate = app.main->findChild<FormGenTran*>(QStringLiteral("FormGenTran"));
        QVERIFY(generate);
        Click(generate, "CommandSet");
        auto* options = generate->findChild<FormOption*>(QStringLiteral("FormOption"));
        QVERIFY(options);
        QVERIFY(options->isVisible());
        QVERIFY(!generate->isEnabled());
        QVERIFY(options->isEnabled());
        Control<QLineEdit>(options, "TextPeriod")->setText(QStringLiteral("20"));
        Click(options, "CommandOK");
        QTRY_VERIFY(!generate->findChild<FormOption*>(QStringLiteral("FormOption")));
        QVERIFY(generate->isEnabled());
        // The main window stays off while the Generate window is open.
        QVERIFY(!app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
        ProjectOptions stored;
        QVERIFY(LoadOptions(project.projectFolder, stored).ok());
        QCOMPARE(stored.clockPeriod, 20);
    }

    void unreadableOptionsAreReported() {
        QTemporaryDir dir;
        ProjectRecord project = MakeProject(dir.path(), QStringLiteral("Broken"));
        const QString optionFile = FromCore(InputPath(project.projectFolder, kOptionFile));
        QFile file(optionFile);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        // The setup unit claims ten bytes; the file ends after two of them.
        file.write("\x02\x00\xff\xff\xff\xff\x01\x00\x0a\x00SC", 12);
        file.close();
        TestApp app;
        app.main->Start(TpPath(project));
        app.main->RunCommand(AppCommand::CodeSettings);
        QVERIFY(!app.main->findChild<FormOption*>(QStringLiteral("FormOption")));
        QCOMPARE(app.ui.Messages().size(), 1);
        QVERIFY2(app.ui.Messages().first().text.contains(QStringLiteral("option.dat")),
                 qPrintable(app.ui.Messages().first().text));
        QVERIFY(app.main->MenuItem(AppCommand::CodeSettings)->isEnabled());
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormOptionTest)
#include "FormOptionTest.moc"
