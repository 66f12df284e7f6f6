// Enter and Escape in every window: Enter in a text box or list acts as the window's OK
// (its default button), Escape as its Cancel. Each window is reached the way a user
// reaches it: a command of the main window, then the buttons that open its sub-windows.
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "project/ProjectCommands.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace kestrel::test {

namespace {

using C = AppCommand;

struct ExampleFixture : ExampleProject {
    // Opens the window a command opens, then the sub-windows the buttons named open.
    QDialog* Open(C command, const std::vector<const char*>& clicks) {
        app.main->RunCommand(command);
        QDialog* window = app.main->OpenWindow();
        for (const char* name : clicks) {
            if (!window) return nullptr;
            Click(window, name);
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
    void enterIsOkAndEscapeIsCancel() {
        const struct {
            const char* name;
            C command;
            std::vector<const char*> clicks;
        } rows[] = {{"FormNewProject", C::NewProject, {}},
                    {"FormTLM", C::TlmInterface, {}},
                    {"FormTLM_Func", C::TlmInterface, {"CommandAdd"}},
                    {"FormTLM_FuncPara", C::TlmInterface, {"CommandAdd", "CommandAdd"}},
                    {"FormRTL", C::RtlInterface, {}},
                    {"FormRTL_Type", C::RtlInterface, {"CommandAdd"}},
                    {"FormOption", C::CodeSettings, {}},
                    {"FormAddLibrary", C::AddLibrary, {}},
                    {"FormAssignAsmL", C::AsmlSpecification, {}},
                    {"FormAssignFSM", C::FsmSpecification, {}},
                    {"FormGenTran", C::Generate, {}},
                    {"FormOption", C::Generate, {"CommandSet"}},
                    {"FormTlm2", C::Generate, {"CommandTlm2"}}};
        for (const auto& r : rows) {
            ExampleFixture f;
            QDialog* window = f.Open(r.command, r.clicks);
            QVERIFY2(window, r.name);
            QCOMPARE(window->objectName(), QString::fromLatin1(r.name));
            auto* ok = Control<QPushButton>(window, "CommandOK");
            QVERIFY2(ok && ok->isDefault(), r.name);
            QSignalSpy pressed(ok, &QAbstractButton::clicked);
            QTest::keyClick(TypingPlace(window), Qt::Key_Return);
            QTRY_COMPARE(pressed.count(), 1);

            ExampleFixture again;
            window = again.Open(r.command, r.clicks);
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
