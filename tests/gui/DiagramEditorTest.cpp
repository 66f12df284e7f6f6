// The diagram editor window: a small machine drawn with the mouse (states, a transition,
// a condition through the properties panel), undo and redo, a drag snapped to the grid,
// Delete, and the file saved as the window holds it; an example diagram saved unchanged
// byte for byte and drawn with all its objects; unreadable files named in a message;
// the question before closing; Save As, a failed write and a refusal of the core shown
// without a change; the checks panel selecting objects, counting its findings and showing
// them whole; pictures exported; `kestrel FILE.asf`; a toolbar that stays in place
// through undo and redo; the folder in the title. The rules themselves are the core's.
#include "diagram/DiagramEditor.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "fsm/AsfEdit.h"
#include "fsm/AsfModel.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QDockWidget>
#include <QFile>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QToolBar>
#include <QUndoStack>

#include <map>
#include <memory>
#include <set>

namespace kestrel::test {

namespace {

const QByteArray kEmptyDiagram = "VERSION=1.19\r\nHEADER\r\nFILE=\"m.asf\"\r\nFREEOID=60\r\nEND\r\n"
                                 "BUNDLES\r\nEND\r\nINSTHEADER 1\r\nPAGE 0,0 215900,279400\r\n"
                                 "END\r\nOBJECTS\r\nF 1 0 671088640 10 0 \"\" 0 RECT 0,0,0 0 0 1 "
                                 "255,255,255 0 | 15700,15700 200200,221700\r\nEND\r\n";

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

DiagramModel ModelOfFile(const QString& path) {
    AsfDocument doc;
    if (!AsfDocument::Load(FileBytes(path).toStdString(), ToCore(path), doc))
        qFatal("%s does not read back", qPrintable(path));
    return DescribeDiagram(doc);
}

// A diagram file in a temporary folder, opened in the editor over a scripted desktop.
struct OpenedDiagram {
    QTemporaryDir dir;
    FakeUiServices ui;
    QString path;
    DiagramEditor* editor = nullptr;

    explicit OpenedDiagram(const QByteArray& bytes = kEmptyDiagram) {
        path = dir.path() + "/m.asf";
        WriteFile(path, bytes);
        editor = DiagramEditor::Open(ui, path);
        if (!editor) qFatal("the diagram does not open");
        QTest::qWait(10); // the first view of the machine is set once the window is laid out
    }
    ~OpenedDiagram() { CloseTopLevels<DiagramEditor>(); }

    QWidget* Viewport() const { return editor->View().viewport(); }
    QPoint At(AsfPoint page) const {
        return editor->View().mapFromScene(DiagramScene::ScenePoint(page));
    }
    void Trigger(const char* action) const {
        auto* a = Control<QAction>(editor, action);
        QVERIFY(a && a->isEnabled());
        a->trigger();
    }
    void Use(const char* tool) const { Trigger(tool); }
    // Chooses the entry of the context menu of an object (or of an empty place).
    void Menu(DiagramObject object, AsfPoint at, const QString& text) const {
        std::unique_ptr<QMenu> menu(editor->ContextMenu(object, at));
        for (QAction* action : menu->actions())
            if (action->text() == text) return action->trigger();
        QFAIL(qPrintable("no menu entry " + text));
    }
    DiagramModel Model() const { return DescribeDiagram(editor->Document()); }
};

} // namespace

class DiagramEditorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void drawsAMachineWithTheMouseAndSavesIt() {
        OpenedDiagram d;
        d.editor->View().resetTransform();
        d.editor->View().centerOn(DiagramScene::ScenePoint({60000, 130000}));

        // Two states with the state tool, named in order.
        d.Use("ToolState");
        QTest::mouseClick(d.Viewport(), Qt::LeftButton, {}, d.At({60000, 160000}));
        QTest::mouseClick(d.Viewport(), Qt::LeftButton, {}, d.At({60000, 100000}));
        DiagramModel m = d.Model();
        QCOMPARE(m.states.size(), std::size_t(2));
        QCOMPARE(m.states[1].name, std::string("S2"));
        QCOMPARE(m.states[0].at->y, ObjectNumber(160000));

        // A transition dragged from S1 to S2, then its condition set in the panel.
        d.Use("ToolTransition");
        QTest::mousePress(d.Viewport(), Qt::LeftButton, {}, d.At({60000, 160000}));
        QTest::mouseMove(d.Viewport(), d.At({60000, 130000}));
        QTest::mouseRelease(d.Viewport(), Qt::LeftButton, {}, d.At({60000, 100000}));
        m = d.Model();
        QCOMPARE(m.transitions.size(), std::size_t(1));
        QCOMPARE(m.transitions[0].from, *m.states[0].id);
        QCOMPARE(m.transitions[0].to, *m.states[1].id);
        Control<QPlainTextEdit>(d.editor, "EditText")->setPlainText("go = '1'");
        Click(d.editor, "CommandApply");
        QCOMPARE(d.Model().transitions[0].condition, std::optional<std::string>("go = '1'"));
        QVERIFY(d.editor->windowTitle().startsWith("m.asf *"));

        // Undo takes the condition back, redo gives it again; the stack holds each step.
        QCOMPARE(d.editor->UndoStack().count(), 4);
        d.Trigger("ActionUndo");
        QVERIFY(!d.Model().transitions[0].condition);
        d.Trigger("ActionRedo");
        QCOMPARE(d.Model().transitions[0].condition, std::optional<std::string>("go = '1'"));

        // A double click on S2 puts its name into the panel to be typed over.
        d.Use("ToolSelect");
        QTest::mouseDClick(d.Viewport(), Qt::LeftButton, {}, d.At({60000, 100000}));
        auto* name = Control<QLineEdit>(d.editor, "EditName");
        QCOMPARE(name->text(), QStringLiteral("S2"));
        name->setText("DONE");
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(d.Model().states[1].name, std::string("DONE"));

        // Save writes what the window holds.
        d.Trigger("ActionSave");
        QCOMPARE(FileBytes(d.path).toStdString(), d.editor->Document().Bytes());
        QVERIFY(!d.editor->IsModified());
        QCOMPARE(d.editor->windowTitle(),
                 "m.asf (" + QDir::toNativeSeparators(d.dir.path()) + ") - Kestrel Diagram Editor");
    }

    void dragsSnapToTheGridAndDeleteTakesTheTransitionsAlong() {
        OpenedDiagram d;
        ObjectNumber a = 0, b = 0, t = 0;
        QVERIFY(d.editor->Change("setup", [&](AsfDocument& doc) {
            Status s = AddState(doc, "A", {60000, 160000}, a);
            if (s) s = AddState(doc, "B", {60000, 100000}, b);
            if (s) s = AddTransition(doc, a, b, 1, std::nullopt, t);
            return s;
        }));
        d.editor->View().resetTransform();
        d.editor->View().centerOn(DiagramScene::ScenePoint({60000, 130000}));

        auto transitionStart = [&d] {
            for (QGraphicsItem* item : d.editor->Scene().items())
                if (auto* path = qgraphicsitem_cast<QGraphicsPathItem*>(item))
                    if (DiagramScene::ObjectOf(path).kind == DiagramObjectKind::Transition)
                        return path->path().pointAtPercent(0);
            return QPointF();
        };
        const QPointF startBefore = transitionStart();

        // Dragged by 3320 and -2890 page units: the transition follows while dragging, and
        // the move lands on whole grid steps.
        QTest::mousePress(d.Viewport(), Qt::LeftButton, {}, d.At({60000, 160000}));
        QTest::mouseMove(d.Viewport(), d.At({61000, 159000}));
        QTest::mouseMove(d.Viewport(), d.At({63320, 157110}));
        QVERIFY(QLineF(startBefore, transitionStart()).length() > 15);
        QTest::mouseRelease(d.Viewport(), Qt::LeftButton, {}, d.At({63320, 157110}));
        const AsfPoint moved = *d.Model().states[0].at;
        QCOMPARE(moved.x % DiagramScene::kGrid, ObjectNumber(0));
        QCOMPARE(moved.y % DiagramScene::kGrid, ObjectNumber(0));
        QVERIFY(moved.x > 60000 && moved.y < 160000);
        // The arrow keys on the drawing move the selection a grid step.
        d.editor->View().setFocus();
        QTest::keyClick(d.Viewport(), Qt::Key_Up);
        QCOMPARE(d.Model().states[0].at->y, moved.y + DiagramScene::kGrid);
        d.Trigger("ActionUndo");

        // The panel turns the transition into a self-loop of A.
        d.editor->Scene().SelectObject(t);
        auto* to = Control<QComboBox>(d.editor, "ComboTo");
        to->setCurrentIndex(to->findText("A"));
        Click(d.editor, "CommandApply");
        QCOMPARE(d.Model().transitions[0].to, a);
        d.Trigger("ActionUndo");

        // Delete on the selected state removes its transition too; undo brings both back.
        d.editor->Scene().SelectObject(b);
        d.Trigger("ActionDelete");
        QCOMPARE(d.Model().states.size(), std::size_t(1));
        QVERIFY(d.Model().transitions.empty());
        d.Trigger("ActionUndo");
        QCOMPARE(d.Model().transitions.size(), std::size_t(1));
    }

    void anExampleIsDrawnWholeAndSavedByteForByte() {
        const QString example = ExamplesFolder() + "/MemReqAck/Input/Write.asf";
        const QByteArray original = FileBytes(example);
        OpenedDiagram d(original);
        std::map<DiagramObjectKind, int> drawn;
        std::set<ObjectNumber> seen;
        for (QGraphicsItem* item : d.editor->Scene().items()) {
            const DiagramObject o = DiagramScene::ObjectOf(item);
            if (seen.insert(o.number).second) ++drawn[o.kind];
        }
        using K = DiagramObjectKind;
        QCOMPARE(
            (std::vector{drawn[K::State], drawn[K::Transition], drawn[K::Action], drawn[K::Port]}),
            (std::vector{3, 4, 2, 7}));
        QVERIFY(!Control<QPlainTextEdit>(d.editor, "TextAsml")->toPlainText().isEmpty());
        // Opening the file again gives the same window; a file of the same name elsewhere
        // gets its own, its folder in the title.
        QCOMPARE(DiagramEditor::Open(d.ui, d.path), d.editor);
        QTemporaryDir elsewhere;
        WriteFile(elsewhere.path() + "/m.asf", kEmptyDiagram);
        DiagramEditor* second = DiagramEditor::Open(d.ui, elsewhere.path() + "/m.asf");
        QVERIFY(second && second != d.editor);
        QCOMPARE(second->windowTitle(), "m.asf (" + QDir::toNativeSeparators(elsewhere.path()) +
                                            ") - Kestrel Diagram Editor");
        second->close();

        // A change undone leaves nothing to save; Save gives the file back unchanged.
        ObjectNumber added = 0;
        QVERIFY(d.editor->Change("add", [&](AsfDocument& doc) {
            return AddState(doc, "EXTRA", {150000, 100000}, added);
        }));
        d.Trigger("ActionUndo");
        QVERIFY(!d.editor->IsModified());
        d.Trigger("ActionSave");
        QCOMPARE(FileBytes(d.path), original);
    }

    // `kestrel FILE.asf` opens only the editor: its picture shows the diagram's window.
    void theProgramOpensADiagramGivenOnItsCommandLine() {
        QTemporaryDir dir;
        const QString diagram = dir.path() + "/Write.asf";
        QVERIFY(QFile::copy(ExamplesFolder() + "/MemReqAck/Input/Write.asf", diagram));
        const QString picture = dir.path() + "/editor.png";
        QProcess kestrel;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        kestrel.setProcessEnvironment(env);
        kestrel.start(BuiltBinFolder() + "/kestrel",
                      {diagram, "--screenshot", "diagram", "--output", picture});
        QVERIFY(kestrel.waitForFinished(60000));
        QCOMPARE(kestrel.exitCode(), 0);
        const QImage image(picture);
        QVERIFY(image.width() > 800 && image.height() > 600);
        // Nothing was written to the diagram.
        QCOMPARE(FileBytes(diagram), FileBytes(ExamplesFolder() + "/MemReqAck/Input/Write.asf"));
    }

    // A file that cannot be read is named in a message (the corpus below has diagrams that
    // cannot be loaded).
    void aMissingFileIsNamedInAMessage() {
        QTemporaryDir dir;
        FakeUiServices ui;
        const QString missing = dir.path() + "/missing.asf";
        QVERIFY(!DiagramEditor::Open(ui, missing));
        QCOMPARE(ui.calls.size(), 1);
        QCOMPARE(ui.calls[0].icon, MessageIcon::Critical);
        QVERIFY2(ui.calls[0].text.contains(missing), qPrintable(ui.calls[0].text));
        QVERIFY(!TopLevel<DiagramEditor>());
    }

    // Every diagram of the fuzz corpus and the examples either opens, is drawn, loses all
    // its objects to Delete and gets them back byte for byte from undo, or is refused with
    // a message naming it.
    void everyCorpusDiagramOpensOrIsRefusedByName() {
        QStringList files;
        for (const char* folder : {"/fuzz/corpus/asf_diagram", "/examples"}) {
            QDirIterator it(QStringLiteral(KESTREL_SOURCE_DIR) + folder, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString file = it.next();
                if (folder[1] == 'f' || file.endsWith(".asf", Qt::CaseInsensitive)) files << file;
            }
        }
        QVERIFY(files.size() > 20);
        int opened = 0;
        for (const QString& file : files) {
            FakeUiServices ui;
            DiagramEditor* editor = DiagramEditor::Open(ui, file);
            if (!editor) {
                QCOMPARE(ui.calls.size(), 1);
                QVERIFY2(ui.calls[0].text.contains(file), qPrintable(ui.calls[0].text));
                continue;
            }
            ++opened;
            const std::string bytes = editor->Document().Bytes();
            for (QGraphicsItem* item : editor->Scene().items())
                if (item->flags() & QGraphicsItem::ItemIsSelectable) item->setSelected(true);
            editor->DeleteSelection();
            if (editor->UndoStack().canUndo()) editor->UndoStack().undo();
            QVERIFY2(editor->Document().Bytes() == bytes, qPrintable(file));
            editor->grab();
            editor->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY(opened > 10);
    }

    void theContextMenuActsOnThePlaceAndObjectClicked() {
        OpenedDiagram d;
        d.Menu({}, {80200, 120300}, "Add State Here");
        QCOMPARE(d.Model().states.size(), std::size_t(1));
        QCOMPARE(*d.Model().states[0].at, (AsfPoint{80000, 120000}));
        const DiagramObject state{DiagramObjectKind::State, *d.Model().states[0].id};
        d.Menu(state, {}, "Trap State");
        QCOMPARE(d.Model().states[0].kind, AsfStateKind::Trap);
        d.editor->Scene().SelectObject(state.number);
        d.Menu(state, {}, "&Delete");
        QVERIFY(d.Model().states.empty());
    }

    // The initial state is the reset transition's target (REQUEST in Write.asf), drawn as
    // such; the default kind is named for what it does; Set as Initial State, from the Draw
    // menu or a state's context menu, is one undoable step.
    void theResetTransitionMarksTheInitialState() {
        OpenedDiagram d(FileBytes(ExamplesFolder() + "/MemReqAck/Input/Write.asf"));
        const ObjectNumber request = 26, waitAck = 28, done = 30;
        auto initial = [&d] {
            std::vector<ObjectNumber> marked;
            for (QGraphicsItem* item : d.editor->Scene().items())
                if (DiagramScene::IsInitialState(item))
                    marked.push_back(DiagramScene::ObjectOf(item).number);
            return marked;
        };
        QCOMPARE(initial(), std::vector<ObjectNumber>{request});

        QCOMPARE(Control<QComboBox>(d.editor, "ComboStateKind")->itemText(1),
                 QStringLiteral("Default (when no condition holds)"));

        // The selected state becomes the initial one; undo gives REQUEST back.
        d.editor->Scene().SelectObject(waitAck);
        d.Trigger("ActionSetInitial");
        QCOMPARE(initial(), std::vector<ObjectNumber>{waitAck});
        QCOMPARE(d.Model().transitions[0].to, waitAck);
        QCOMPARE(d.editor->UndoStack().undoText(), QStringLiteral("Set Initial State"));
        d.editor->UndoStack().undo();
        QCOMPARE(initial(), std::vector<ObjectNumber>{request});

        d.Menu({DiagramObjectKind::State, done}, {}, "Set as Initial State");
        QCOMPARE(initial(), std::vector<ObjectNumber>{done});

        // Nothing selected: told what to select, nothing changes.
        d.editor->Scene().clearSelection();
        const int steps = d.editor->UndoStack().count();
        d.Trigger("ActionSetInitial");
        QCOMPARE(d.ui.Messages().size(), 1);
        QCOMPARE(d.ui.Messages().last().text,
                 QStringLiteral("Select the state the reset transition is to enter."));
        QCOMPARE(d.editor->UndoStack().count(), steps);
    }

    void closingWithUnsavedChangesAsks() {
        OpenedDiagram d;
        d.editor->AddStateAt({60000, 160000});
        // Cancel keeps the window; No closes it and leaves the file alone.
        d.ui.messageAnswers << kAnswerCancel;
        QVERIFY(!d.editor->close());
        QCOMPARE(d.ui.calls.last().icon, MessageIcon::Question);
        QVERIFY(d.ui.calls.last().text.contains(d.path));
        QVERIFY(d.editor->isVisible());
        d.ui.messageAnswers << kAnswerYes;
        QVERIFY(d.editor->close());
        QCOMPARE(ModelOfFile(d.path).states.size(), std::size_t(1));

        OpenedDiagram other;
        other.editor->AddStateAt({60000, 160000});
        other.ui.messageAnswers << kAnswerNo;
        QVERIFY(other.editor->close());
        QCOMPARE(FileBytes(other.path), kEmptyDiagram);
    }

    void theToolbarStaysInPlaceWhileUndoAndRedoNameTheChange() {
        OpenedDiagram d;
        auto* bar = Control<QToolBar>(d.editor, "ToolbarDiagram");
        auto places = [bar] {
            QCoreApplication::sendPostedEvents(); // the toolbar's layout
            QList<QRect> rects;
            for (QAction* action : bar->actions())
                if (QWidget* button = bar->widgetForAction(action)) rects << button->geometry();
            return rects;
        };
        auto* undo = Control<QAction>(d.editor, "ActionUndo");
        auto* redo = Control<QAction>(d.editor, "ActionRedo");
        const QList<QRect> before = places();
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());
        d.editor->AddStateAt({60000, 160000});
        QCOMPARE(places(), before);
        QCOMPARE(undo->toolTip(), QStringLiteral("Undo Add State (Ctrl+Z)"));
        d.Trigger("ActionUndo");
        QCOMPARE(places(), before);
        QVERIFY(d.Model().states.empty());
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->toolTip(), QStringLiteral("Undo (Ctrl+Z)"));
        QCOMPARE(redo->toolTip(), QStringLiteral("Redo Add State (Ctrl+Shift+Z)"));
        d.Trigger("ActionRedo");
        QCOMPARE(d.Model().states.size(), std::size_t(1));
    }

    void aNewTemplateOpensLargeEnoughToRead() {
        QTemporaryDir dir;
        CopyFolder(ExamplesFolder() + "/MemReqAck", dir.path() + "/MemReqAck");
        const QString path = dir.path() + "/Write.asf";
        RunCli({"asf-template", dir.path() + "/MemReqAck/MemReqAck.tp", "Write", path});
        FakeUiServices ui;
        DiagramEditor* editor = DiagramEditor::Open(ui, path);
        QVERIFY(editor);
        QTest::qWait(10);
        // The signature and each port's name wholly in view, their letters a readable size.
        const QRect view = editor->View().viewport()->rect();
        int texts = 0;
        for (QGraphicsItem* item : editor->Scene().items()) {
            if (!dynamic_cast<QGraphicsSimpleTextItem*>(item)) continue;
            const QRect shown =
                editor->View().mapFromScene(item->sceneBoundingRect()).boundingRect();
            QVERIFY2(view.contains(shown) && shown.height() >= 12,
                     qPrintable(static_cast<QGraphicsSimpleTextItem*>(item)->text()));
            ++texts;
        }
        QCOMPARE(texts, 8); // the signature and seven ports
        CloseTopLevels<DiagramEditor>();
    }

    // The panel follows each change, counts in the singular, shows long messages whole
    // and selects the object of the finding clicked.
    void checksFollowEachChangeAndSelectTheirObject() {
        OpenedDiagram d;
        auto* checks = Control<QListWidget>(d.editor, "ListChecks");
        auto* dock = Control<QDockWidget>(d.editor, "DockChecks");
        d.editor->AddStateAt({60000, 160000});
        QCOMPARE(dock->windowTitle(), QStringLiteral("Checks (2 errors, 1 warning)"));
        const ObjectNumber state = *d.Model().states[0].id;
        for (int i = 0; i < checks->count(); ++i) {
            QListWidgetItem* item = checks->item(i);
            const ObjectNumber object = item->data(Qt::UserRole).toLongLong();
            if (object == 0) continue;
            d.editor->Scene().clearSelection();
            Q_EMIT checks->itemClicked(item);
            QVERIFY(!d.editor->Scene().SelectedObjects().empty());
            QCOMPARE(d.editor->Scene().SelectedObjects().front().number, object);
        }

        // A message wider than the panel takes as many lines as it needs.
        QCoreApplication::sendPostedEvents();
        const int width = checks->viewport()->width();
        bool wrapped = false;
        for (int i = 0; i < checks->count(); ++i) {
            const QString text = checks->item(i)->text();
            if (checks->fontMetrics().horizontalAdvance(text) <= width) continue;
            const QRect shown = checks->visualItemRect(checks->item(i));
            const QRect needed = checks->fontMetrics().boundingRect(
                QRect(0, 0, shown.width() - checks->iconSize().width(), 10000), Qt::TextWordWrap,
                text);
            QVERIFY2(shown.height() >= needed.height() && shown.right() <= width, qPrintable(text));
            wrapped = true;
        }
        QVERIFY(wrapped);

        QVERIFY(d.editor->Change("kind", [&](AsfDocument& doc) {
            return SetStateKind(doc, state, AsfStateKind::Trap);
        }));
        QCOMPARE(dock->windowTitle(), QStringLiteral("Checks (1 error, 0 warnings)"));
    }

    void saveAsMovesTheWindowToTheNewFileAndAFailedWriteIsReported() {
        OpenedDiagram d;
        d.editor->AddStateAt({60000, 160000});
        // A folder that does not exist: the message names the file, nothing is saved.
        const QString nowhere = d.dir.path() + "/missing/n.asf";
        d.ui.fileAnswers << nowhere;
        d.Trigger("ActionSaveAs");
        QCOMPARE(d.ui.calls.last().icon, MessageIcon::Critical);
        QVERIFY2(d.ui.calls.last().text.contains(nowhere), qPrintable(d.ui.calls.last().text));
        QVERIFY(d.editor->IsModified());
        QCOMPARE(d.editor->FilePath(), d.path);

        const QString other = d.dir.path() + "/other.asf";
        d.ui.fileAnswers << other;
        d.Trigger("ActionSaveAs");
        QCOMPARE(d.ui.calls.last().filter,
                 QStringLiteral("Active HDL State Machine (*.asf)|*.asf"));
        QCOMPARE(d.editor->FilePath(), other);
        QVERIFY(!d.editor->IsModified());
        QVERIFY(d.editor->windowTitle().startsWith(QStringLiteral("other.asf (")));
        QCOMPARE(FileBytes(d.path), kEmptyDiagram);
        QCOMPARE(ModelOfFile(other).states.size(), std::size_t(1));
        // A refusal of the core names the new file and changes nothing.
        const std::string before = d.editor->Document().Bytes();
        const int steps = d.editor->UndoStack().count();
        Control<QLineEdit>(d.editor, "EditName")->setText("   ");
        Click(d.editor, "CommandApply");
        QCOMPARE(d.ui.calls.last().icon, MessageIcon::Critical);
        QVERIFY(d.ui.calls.last().text.contains(other));
        QCOMPARE(d.editor->Document().Bytes(), before);
        QCOMPARE(d.editor->UndoStack().count(), steps);
    }

    void exportsPngAndSvg() {
        OpenedDiagram d(FileBytes(ExamplesFolder() + "/MemReqAck/Input/Write.asf"));
        const QString png = d.dir.path() + "/write.png";
        const QString svg = d.dir.path() + "/write.svg";
        d.ui.fileAnswers << png << svg;
        d.Trigger("ActionExport");
        d.Trigger("ActionExport");
        QVERIFY(FileBytes(png).startsWith("\x89PNG"));
        QImage picture(png);
        QVERIFY(picture.width() > 400 && picture.height() > 400);
        QVERIFY(FileBytes(svg).contains("<svg"));
        QVERIFY(!d.editor->IsModified());
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::DiagramEditorTest)
#include "DiagramEditorTest.moc"
