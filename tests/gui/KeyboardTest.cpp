// Enter and Escape in every window: Enter in a text box or list acts as the window's OK
// (its default button), Escape as its Cancel. Each window is reached the way a user
// reaches it: a command of the main window, then the buttons that open its sub-windows.
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "generate/Generate.h"
#include "project/ProjectCommands.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace kestrel::test {

namespace {

using C = AppCommand;

struct Route {
    C command;
    QStringList clicks; // buttons that open the sub-window under test, in order
};

// The example MemReqAck (both behaviour methods assigned, stage 3) in a temporary folder.
struct Fixture {
    QTemporaryDir dir;
    QString folder = dir.path() + "/MemReqAck";
    TestApp app;

    Fixture() {
        CopyFolder(ExamplesFolder() + "/MemReqAck", folder);
        if (!AcceptGenerateDialog(ToCore(folder), DefaultGenerationSettings(ToCore(folder))).ok())
            qFatal("cannot point the example's generated files at the copy");
        app.main->Start(folder + "/MemReqAck.tp");
    }

    // Opens the window at the end of a route.
    QDialog* Open(const Route& route) {
        app.main->RunCommand(route.command);
        QDialog* window = app.main->OpenWindow();
        for (const QString& name : route.clicks) {
            if (!window) return nullptr;
            Click(window, name.toLatin1().constData());
            QDialog* child = nullptr;
            for (QDialog* candidate : window->findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
                if (candidate->isVisible()) child = candidate;
            window = child;
        }
        return window;
    }
};

// Where a user types: the first enabled text box, else the first list, else the window.
QWidget* TypingPlace(QDialog* window) {
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        if (box->isEnabled() && box->isVisible() && !box->isReadOnly()) return box;
    for (QAbstractItemView* list : window->findChildren<QAbstractItemView*>())
        if (list->isEnabled() && list->isVisible()) return list;
    return window;
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void enterIsOkAndEscapeIsCancel_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("name");
        auto row = [](const char* name, C command, QStringList clicks = {}) {
            QTest::newRow(name) << static_cast<int>(command) << clicks << QString::fromLatin1(name);
        };
        row("FormNewProject", C::NewProject);
        row("FormTLM", C::TlmInterface);
        row("FormTLM_Func", C::TlmInterface, {"CommandAdd"});
        row("FormTLM_FuncPara", C::TlmInterface, {"CommandAdd", "CommandAdd"});
        row("FormRTL", C::RtlInterface);
        row("FormRTL_Type", C::RtlInterface, {"CommandAdd"});
        row("FormOption", C::CodeSettings);
        row("FormAddLibrary", C::AddLibrary);
        row("FormAssignAsmL", C::AsmlSpecification);
        row("FormAssignFSM", C::FsmSpecification);
        row("FormGenTran", C::Generate);
        row("FormGenTran/FormOption", C::Generate, {"CommandSet"});
    }

    void enterIsOkAndEscapeIsCancel() {
        QFETCH(int, command);
        QFETCH(QStringList, clicks);
        QFETCH(QString, name);
        const Route route{static_cast<C>(command), clicks};

        {
            Fixture f;
            QDialog* window = f.Open(route);
            QVERIFY(window);
            QCOMPARE(window->objectName(), name.section('/', -1));
            auto* ok = Control<QPushButton>(window, "CommandOK");
            QVERIFY(ok);
            QVERIFY(ok->isDefault());
            QVERIFY(Control<QPushButton>(window, "CommandCancel"));
            QSignalSpy pressed(ok, &QAbstractButton::clicked);
            QTest::keyClick(TypingPlace(window), Qt::Key_Return);
            QTRY_COMPARE(pressed.count(), 1);
        }
        {
            Fixture f;
            QDialog* window = f.Open(route);
            QVERIFY(window);
            QSignalSpy finished(window, &QDialog::finished);
            QTest::keyClick(TypingPlace(window), Qt::Key_Escape);
            QCOMPARE(finished.count(), 1);
            QCOMPARE(finished.first().first().toInt(), static_cast<int>(QDialog::Rejected));
        }
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::KeyboardTest)
#include "KeyboardTest.moc"
