// The Code Generation Settings window: the stored options shown, the enabling rules, the
// library browse button, a refusal of OK passed on with its tab and field, a stored OK,
// Cancel, and re-enabling whichever window opened it. The rules themselves are tested in
// tests/core/project/CodeSettingsTest.cpp.
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

// A new project "Clocked" (its stage given) in the main window.
struct Project : ProjectFixture {
    explicit Project(int stage = 1) : ProjectFixture(QStringLiteral("Clocked"), {}, {}, stage) {}
    QDialog* Open() { return ProjectFixture::Open(AppCommand::CodeSettings); }
    QByteArray StoredOptions() const { return Stored("option.dat"); }
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
    void showsTheStoredOptionsAndEnables() {
        Project o;
        QDialog* d = o.Open();
        QVERIFY(d);
        QCOMPARE(Control<QTabWidget>(d, "SSTabOpt")->currentIndex(), 0);
        QVERIFY(Control<QRadioButton>(d, "OptionMethod2")->isChecked());
        QVERIFY(Control<QRadioButton>(d, "OptionClkPos")->isChecked());
        QCOMPARE(Control<QComboBox>(d, "ComboSetup")->currentText(), QStringLiteral("SC_PS"));
        QCOMPARE(Control<QLineEdit>(d, "TextAuthor")->text(), QStringLiteral("designer"));
        auto* library = Control<QLineEdit>(d, "TextLibFName");
        QCOMPARE(library->text(), o.dir.path() + "/Clocked/Output/Clocked.tlib");

        QVERIFY(Control<QWidget>(d, "TextSetup")->isEnabled());
        QVERIFY(!library->isEnabled());
        QVERIFY(!Control<QWidget>(d, "CommandSaveAsLib")->isEnabled());
        Control<QCheckBox>(d, "CheckSetup")->setChecked(false);
        QVERIFY(!Control<QWidget>(d, "TextSetup")->isEnabled());
        QVERIFY(!Control<QWidget>(d, "ComboSetup")->isEnabled());
        Control<QCheckBox>(d, "CheckLib")->setChecked(true);
        QVERIFY(library->isEnabled());

        // The library browse button: cancel keeps the box, a choice replaces it.
        Click(d, "CommandSaveAsLib");
        const UiCall save = o.app.ui.calls.last();
        QCOMPARE(save.kind, QStringLiteral("save"));
        QCOMPARE(save.filter, QStringLiteral("Transactor Library (*.tlib)|*.tlib"));
        QCOMPARE(save.folder, o.dir.path() + "/Clocked/Output");
        QCOMPARE(library->text(), o.dir.path() + "/Clocked/Output/Clocked.tlib");
        o.app.ui.fileAnswers << QStringLiteral("/libs/Other.tlib");
        Click(d, "CommandSaveAsLib");
        QCOMPARE(library->text(), QStringLiteral("/libs/Other.tlib"));
    }

    // A refusal shows its message, turns to the tab of its field and focuses it; the window
    // keeps what was typed (the comment with its final line break) and stores nothing.
    void refusalsTurnToTheirTab() {
        const struct {
            const char* setup;
            int method;
            bool library;
            const char* text;
            int tab;
            const char* focus;
        } rows[] = {
            {"5", 2, false, "Setup Time must be smaller than Clock Period", 1, "TextSetup"},
            {"1", 3, true, "Library cannot be created if generating Just Transactor Template.", 2,
             "CheckLib"},
        };
        for (const auto& r : rows) {
            Project o;
            QDialog* d = o.Open();
            const QByteArray before = o.StoredOptions();
            SetClock(d, r.setup, 2, "5", 2);
            Control<QRadioButton>(d, qPrintable(QStringLiteral("OptionMethod%1").arg(r.method)))
                ->setChecked(true);
            Control<QCheckBox>(d, "CheckLib")->setChecked(r.library);
            Control<QPlainTextEdit>(d, "TextCom")->setPlainText(QStringLiteral("abc"));
            Click(d, "CommandOK");
            QCOMPARE(o.app.ui.Messages().size(), 1);
            QVERIFY2(o.app.ui.calls.last().text.startsWith(QString::fromLatin1(r.text)),
                     qPrintable(o.app.ui.calls.last().text));
            QCOMPARE(o.app.ui.calls.last().icon, MessageIcon::Critical);
            QCOMPARE(Control<QTabWidget>(d, "SSTabOpt")->currentIndex(), r.tab);
            QCOMPARE(d->focusWidget(), Control<QWidget>(d, r.focus));
            QVERIFY(d->isVisible());
            QCOMPARE(Control<QLineEdit>(d, "TextSetup")->text(), QString::fromLatin1(r.setup));
            QCOMPARE(Control<QPlainTextEdit>(d, "TextCom")->toPlainText(), QStringLiteral("abc\n"));
            QCOMPARE(o.StoredOptions(), before);
        }
    }

    void okStoresAndCancelDoesNot() {
        Project o;
        QDialog* d = o.Open();
        const QByteArray before = o.StoredOptions();
        SetClock(d, "4", 2, "5", 2);
        Click(d, "CommandCancel");
        QTRY_VERIFY(!o.app.main->findChild<FormOption*>(QStringLiteral("FormOption")));
        QCOMPARE(o.StoredOptions(), before);
        QVERIFY(o.app.main->Menu("MenuFile")->menuAction()->isEnabled());

        d = o.Open();
        QVERIFY(!o.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
        SetClock(d, "2", 1, "10", 2);
        Control<QRadioButton>(d, "OptionClkNeg")->setChecked(true);
        Control<QRadioButton>(d, "OptionMethod1")->setChecked(true);
        Control<QCheckBox>(d, "CheckLib")->setChecked(true);
        Control<QLineEdit>(d, "TextLibFName")->setText(QStringLiteral("/libs/Bus.tlib"));
        Control<QLineEdit>(d, "TextCompany")->setText(QStringLiteral("Acme"));
        Control<QPlainTextEdit>(d, "TextCom")->setPlainText(QStringLiteral("first\nsecond"));
        Control<QCheckBox>(d, "CheckH")->setChecked(true);
        Click(d, "CommandOK");
        QVERIFY(o.app.ui.calls.isEmpty());
        QTRY_VERIFY(!o.app.main->findChild<FormOption*>(QStringLiteral("FormOption")));
        QVERIFY(o.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());

        ProjectOptions stored;
        QVERIFY(LoadOptions(o.project.projectFolder, stored).ok());
        QCOMPARE(stored.generationMethod, 1);
        QVERIFY(!stored.clockPositiveEdge);
        QCOMPARE(stored.setupTime, 2);
        QCOMPARE(stored.clockPeriod, 10);
        QVERIFY(stored.makeLibrary);
        QCOMPARE(QString::fromStdString(stored.libraryFile), QStringLiteral("/libs/Bus.tlib"));
        QCOMPARE(QString::fromStdString(stored.company), QStringLiteral("Acme"));
        QCOMPARE(QString::fromStdString(stored.comment), QStringLiteral("first\r\nsecond\r\n"));
        QVERIFY(stored.useCommentInHeaders);
    }

    void openedFromGenerateReenablesGenerate() {
        Project o(3);
        o.app.main->RunCommand(AppCommand::Generate);
        auto* generate = o.app.main->findChild<FormGenTran*>(QStringLiteral("FormGenTran"));
        QVERIFY(generate);
        Click(generate, "CommandSet");
        auto* options = generate->findChild<FormOption*>(QStringLiteral("FormOption"));
        QVERIFY(options && options->isVisible());
        QVERIFY(!generate->isEnabled());
        Control<QLineEdit>(options, "TextPeriod")->setText(QStringLiteral("20"));
        Click(options, "CommandOK");
        QTRY_VERIFY(!generate->findChild<FormOption*>(QStringLiteral("FormOption")));
        QVERIFY(generate->isEnabled());
        QVERIFY(!o.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
        ProjectOptions stored;
        QVERIFY(LoadOptions(o.project.projectFolder, stored).ok());
        QCOMPARE(stored.clockPeriod, 20);
    }

    void unreadableOptionsAreReported() {
        Project o;
        QFile file(o.folder + "/Input/option.dat");
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        // The setup unit claims ten bytes; the file ends after two of them.
        file.write("\x02\x00\xff\xff\xff\xff\x01\x00\x0a\x00SC", 12);
        file.close();
        QVERIFY(!o.Open());
        QCOMPARE(o.app.ui.Messages().size(), 1);
        QVERIFY(o.app.ui.calls.last().text.contains(QStringLiteral("option.dat")));
        QVERIFY(o.app.main->MenuItem(AppCommand::CodeSettings)->isEnabled());
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormOptionTest)
#include "FormOptionTest.moc"
