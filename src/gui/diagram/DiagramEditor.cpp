// The diagram editor window. The document is the one thing it holds: the scene draws it,
// the panels describe it, and each user action becomes one call of the core's editing
// operations on a copy, which replaces the document only when the core accepts it. The
// undo stack keeps the bytes before and after each change, so undo and redo read the
// document back exactly as it was.
#include "diagram/DiagramEditor.h"

#include "diagram/DiagramPicture.h"

#include "GuiText.h"
#include "GuiWidgets.h"
#include "UiServices.h"
#include "assign/AssignSupport.h"
#include "fsm/AsfChecks.h"
#include "fsm/AsfEdit.h"
#include "fsm/AsfModel.h"
#include "generate/DiagramPreview.h"
#include "platform/FileSystem.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <set>

namespace kestrel {

namespace {

QString KindName(DiagramObjectKind kind) {
    switch (kind) {
    case DiagramObjectKind::State: return QStringLiteral("State");
    case DiagramObjectKind::Reset: return QStringLiteral("Reset");
    case DiagramObjectKind::Transition: return QStringLiteral("Transition");
    case DiagramObjectKind::Action: return QStringLiteral("Action block");
    case DiagramObjectKind::Signal: return QStringLiteral("Signal");
    case DiagramObjectKind::Constant: return QStringLiteral("Constant");
    case DiagramObjectKind::Port: return QStringLiteral("Port");
    case DiagramObjectKind::None: break;
    }
    return QString();
}

AsfPoint OnGrid(AsfPoint at) {
    auto snap = [](ObjectNumber v) {
        return (v + DiagramScene::kGrid / 2) / DiagramScene::kGrid * DiagramScene::kGrid;
    };
    return {snap(at.x), snap(at.y)};
}

// A name of the form prefix + number that no object of the model has yet.
std::string UnusedName(const DiagramModel& model, const std::string& prefix) {
    std::set<std::string> used;
    for (const ModelState& s : model.states) used.insert(s.name);
    for (const ModelSignal& s : model.signals) used.insert(s.name);
    for (const ModelConstant& c : model.constants) used.insert(c.name);
    for (int n = 1;; ++n)
        if (used.count(prefix + std::to_string(n)) == 0) return prefix + std::to_string(n);
}

// The drawn object a check concerns: its object, or the record at its line; a label or
// condition stands for the object it belongs to.
ObjectNumber ShownObject(const AsfDocument& doc, ObjectNumber object, int line) {
    const std::vector<AsfLine>& lines = doc.Lines();
    const AsfLine* record = nullptr;
    for (std::size_t i = doc.ObjectsBegin(); i < doc.ObjectsEnd() && object != 0; ++i)
        if (lines[i].number == object) record = &lines[i];
    if (object == 0 && line > 0 && static_cast<std::size_t>(line) <= lines.size()) {
        const std::size_t at = static_cast<std::size_t>(line) - 1;
        if (at >= doc.ObjectsBegin() && at < doc.ObjectsEnd()) record = &lines[at];
    }
    if (!record) return object;
    const bool belongs = record->kind == AsfKind::Label || record->kind == AsfKind::Condition;
    return belongs ? record->owner : record->number;
}

// "1 error", "2 errors".
QString Counted(int count, const char* noun) {
    return QStringLiteral("%1 %2%3").arg(count).arg(QLatin1String(noun),
                                                    count == 1 ? QString() : QStringLiteral("s"));
}

QAction* NamedAction(QWidget* owner, const char* objectName, const QString& text,
                     const QKeySequence& key = QKeySequence()) {
    auto* action = new QAction(text, owner);
    action->setObjectName(QString::fromLatin1(objectName));
    if (!key.isEmpty()) action->setShortcut(key);
    owner->addAction(action);
    return action;
}

// Names an undo or redo step's tooltip and status tip after the change it stands for.
auto StepTips(QAction* step, const QString& verb, const QString& keys) {
    return [step, verb, keys](const QString& change) {
        const QString tip = change.isEmpty() ? verb : verb + QLatin1Char(' ') + change;
        step->setToolTip(QStringLiteral("%1 (%2)").arg(tip, keys));
        step->setStatusTip(tip);
    };
}

} // namespace

// The window's actions, as the menus and the toolbar show them.
struct DiagramEditor::EditorActions {
    QAction *save = nullptr, *saveAs = nullptr, *exportPicture = nullptr, *close = nullptr;
    QAction *undo = nullptr, *redo = nullptr, *remove = nullptr;
    QAction *select = nullptr, *state = nullptr, *transition = nullptr;
    QAction *action = nullptr, *reset = nullptr, *initial = nullptr, *signal = nullptr,
            *constant = nullptr;
    QAction *zoomIn = nullptr, *zoomOut = nullptr, *fit = nullptr;
};

class DiagramEditor::DocumentChange final : public QUndoCommand {
public:
    DocumentChange(DiagramEditor& editor, const QString& text, std::string before,
                   std::string after)
        : QUndoCommand(text), editor_(editor), before_(std::move(before)),
          after_(std::move(after)) {}
    void undo() override { editor_.Restore(before_); }
    void redo() override {
        // The change is on the document already when it is pushed.
        if (pushed_) editor_.Restore(after_);
        pushed_ = true;
    }

private:
    DiagramEditor& editor_;
    std::string before_, after_;
    bool pushed_ = false;
};

DiagramEditor* DiagramEditor::Open(UiServices& ui, const QString& path,
                                   std::optional<DiagramProject> project,
                                   const QString& functionName) {
    // A file already open is not read a second time: its window comes to the front.
    const QString canonical = QFileInfo(path).absoluteFilePath();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* open = qobject_cast<DiagramEditor*>(window);
        if (open && open->isVisible() &&
            QFileInfo(open->FilePath()).absoluteFilePath() == canonical) {
            open->raise();
            open->activateWindow();
            return open;
        }
    }
    std::optional<std::string> stored = ChosenPath(ui, nullptr, path);
    if (!stored) return nullptr;
    std::string bytes;
    AsfDocument doc;
    Status s = ReadFileBytes(*stored, bytes);
    if (s) s = AsfDocument::Load(bytes, *stored, doc);
    if (!s) {
        ShowFailure(ui, nullptr, FromCore(s.message()));
        return nullptr;
    }
    const QString name = functionName.isEmpty() ? QFileInfo(path).completeBaseName() : functionName;
    auto* editor = new DiagramEditor(ui, path, std::move(doc), std::move(project), name);
    editor->show();
    // The view has its size once the window is laid out.
    QTimer::singleShot(0, editor, [editor] { editor->ShowMachine(); });
    return editor;
}

DiagramEditor::DiagramEditor(UiServices& ui, QString path, AsfDocument doc,
                             std::optional<DiagramProject> project, QString functionName)
    : ui_(ui), path_(std::move(path)), doc_(std::move(doc)), project_(std::move(project)),
      functionName_(std::move(functionName)) {
    setObjectName(QStringLiteral("DiagramEditor"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/icons/kestrel.svg")));
    resize(1360, 900);

    scene_ = new DiagramScene(this);
    view_ = new QGraphicsView(scene_, this);
    view_->setObjectName(QStringLiteral("DiagramView"));
    view_->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    view_->setDragMode(QGraphicsView::RubberBandDrag);
    view_->setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    view_->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    setCentralWidget(view_);
    view_->viewport()->installEventFilter(this);

    undo_ = new QUndoStack(this);
    BuildActions();
    BuildPanels();

    connect(scene_, &DiagramScene::MoveRequested, this, &DiagramEditor::MoveObjects);
    connect(scene_, &DiagramScene::AddStateRequested, this, &DiagramEditor::AddStateAt);
    connect(scene_, &DiagramScene::ConnectRequested, this, &DiagramEditor::Connect);
    connect(scene_, &DiagramScene::EditRequested, this, &DiagramEditor::Edit);
    connect(scene_, &DiagramScene::MenuRequested, this,
            [this](DiagramObject object, AsfPoint at, QPoint screen) {
                std::unique_ptr<QMenu> menu(ContextMenu(object, at));
                menu->exec(screen);
            });
    connect(scene_, &QGraphicsScene::selectionChanged, this, &DiagramEditor::ShowSelection);
    connect(undo_, &QUndoStack::cleanChanged, this, &DiagramEditor::ShowTitle);
    Refresh();
}

DiagramEditor::~DiagramEditor() {
    // The children go after this part of the window: what they signal on their way out
    // (the scene's selection, the undo stack's clean state) must no longer reach it.
    for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
}

QDockWidget* DiagramEditor::AddDock(const QString& title, const char* objectName,
                                    QWidget* content) {
    auto* dock = new QDockWidget(title, this);
    dock->setObjectName(QString::fromLatin1(objectName));
    dock->setWidget(content);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    return dock;
}

void DiagramEditor::BuildActions() {
    EditorActions a;
    AddFileActions(a);
    AddEditActions(a);
    AddToolActions(a);
    AddDrawActions(a);
    AddNudgeKeys();
    BuildMenus(a);
    BuildToolbar(a);
}

void DiagramEditor::AddFileActions(EditorActions& a) {
    a.save = NamedAction(this, "ActionSave", QStringLiteral("&Save"), QKeySequence::Save);
    a.save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    a.saveAs = NamedAction(this, "ActionSaveAs", QStringLiteral("Save &As..."),
                           QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    a.exportPicture = NamedAction(this, "ActionExport", QStringLiteral("&Export Picture..."));
    a.close = NamedAction(this, "ActionClose", QStringLiteral("&Close"), QKeySequence::Close);
    connect(a.save, &QAction::triggered, this, [this] { Save(); });
    connect(a.saveAs, &QAction::triggered, this, [this] { SaveAs(); });
    connect(a.exportPicture, &QAction::triggered, this, &DiagramEditor::ExportPicture);
    connect(a.close, &QAction::triggered, this, &QWidget::close);
}

void DiagramEditor::AddEditActions(EditorActions& a) {
    QStyle* s = style();
    // Undo and Redo keep their texts, so that the toolbar does not move as the change they
    // stand for does; the change is named in their tooltip and status tip.
    a.undo = NamedAction(this, "ActionUndo", QStringLiteral("&Undo"),
                         QKeySequence(QStringLiteral("Ctrl+Z")));
    a.undo->setIcon(s->standardIcon(QStyle::SP_ArrowBack));
    a.redo = NamedAction(this, "ActionRedo", QStringLiteral("&Redo"));
    a.redo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    a.redo->setIcon(s->standardIcon(QStyle::SP_ArrowForward));
    const auto undoTips = StepTips(a.undo, QStringLiteral("Undo"), QStringLiteral("Ctrl+Z"));
    const auto redoTips = StepTips(a.redo, QStringLiteral("Redo"), QStringLiteral("Ctrl+Shift+Z"));
    connect(undo_, &QUndoStack::undoTextChanged, a.undo, undoTips);
    connect(undo_, &QUndoStack::redoTextChanged, a.redo, redoTips);
    connect(undo_, &QUndoStack::canUndoChanged, a.undo, &QAction::setEnabled);
    connect(undo_, &QUndoStack::canRedoChanged, a.redo, &QAction::setEnabled);
    connect(a.undo, &QAction::triggered, undo_, &QUndoStack::undo);
    connect(a.redo, &QAction::triggered, undo_, &QUndoStack::redo);
    undoTips(QString());
    redoTips(QString());
    a.undo->setEnabled(false);
    a.redo->setEnabled(false);
    a.remove = NamedAction(this, "ActionDelete", QStringLiteral("&Delete"), QKeySequence::Delete);
    a.remove->setIcon(s->standardIcon(QStyle::SP_TrashIcon));
    connect(a.remove, &QAction::triggered, this, &DiagramEditor::DeleteSelection);
}

void DiagramEditor::AddToolActions(EditorActions& a) {
    auto* tools = new QActionGroup(this);
    a.select =
        NamedAction(this, "ToolSelect", QStringLiteral("Select"), QKeySequence(Qt::Key_Escape));
    a.state =
        NamedAction(this, "ToolState", QStringLiteral("State"), QKeySequence(QStringLiteral("S")));
    a.transition = NamedAction(this, "ToolTransition", QStringLiteral("Transition"),
                               QKeySequence(QStringLiteral("T")));
    for (QAction* tool : {a.select, a.state, a.transition}) {
        tool->setCheckable(true);
        tools->addAction(tool);
    }
    a.select->setChecked(true);
    a.select->setToolTip(QStringLiteral("Select and move objects (Esc)"));
    a.state->setToolTip(QStringLiteral("Click on the page to add a state (S)"));
    a.transition->setToolTip(QStringLiteral("Drag from one state to another to connect them (T)"));
    auto useTool = [this](DiagramScene::Tool tool) {
        scene_->SetTool(tool);
        view_->setDragMode(tool == DiagramScene::Tool::Select ? QGraphicsView::RubberBandDrag
                                                              : QGraphicsView::NoDrag);
        view_->viewport()->setCursor(tool == DiagramScene::Tool::Select ? Qt::ArrowCursor
                                                                        : Qt::CrossCursor);
    };
    connect(a.select, &QAction::triggered, this,
            [useTool] { useTool(DiagramScene::Tool::Select); });
    connect(a.state, &QAction::triggered, this,
            [useTool] { useTool(DiagramScene::Tool::AddState); });
    connect(a.transition, &QAction::triggered, this,
            [useTool] { useTool(DiagramScene::Tool::AddTransition); });
}

void DiagramEditor::AddDrawActions(EditorActions& a) {
    a.action = NamedAction(this, "ActionAddAction", QStringLiteral("Add &Action Block"));
    a.reset = NamedAction(this, "ActionAddReset", QStringLiteral("Add &Reset"));
    a.initial = NamedAction(this, "ActionSetInitial", QStringLiteral("Set as &Initial State"));
    a.initial->setToolTip(QStringLiteral("Point the reset transition at the selected state"));
    a.signal = NamedAction(this, "ActionAddSignal", QStringLiteral("Add Si&gnal"));
    a.constant = NamedAction(this, "ActionAddConstant", QStringLiteral("Add C&onstant"));
    a.zoomIn = NamedAction(this, "ActionZoomIn", QStringLiteral("Zoom &In"), QKeySequence::ZoomIn);
    a.zoomOut =
        NamedAction(this, "ActionZoomOut", QStringLiteral("Zoom &Out"), QKeySequence::ZoomOut);
    a.fit = NamedAction(this, "ActionFit", QStringLiteral("&Fit to Window"),
                        QKeySequence(QStringLiteral("Ctrl+0")));
    connect(a.action, &QAction::triggered, this, &DiagramEditor::AddActionToSelected);
    connect(a.initial, &QAction::triggered, this, &DiagramEditor::SetSelectedInitial);
    connect(a.reset, &QAction::triggered, this, [this] {
        AddResetAt(DiagramScene::PagePoint(view_->mapToScene(view_->viewport()->rect().center())));
    });
    connect(a.signal, &QAction::triggered, this,
            [this] { AddDeclaration(DiagramObjectKind::Signal); });
    connect(a.constant, &QAction::triggered, this,
            [this] { AddDeclaration(DiagramObjectKind::Constant); });
    connect(a.zoomIn, &QAction::triggered, this, [this] { Zoom(1.25); });
    connect(a.zoomOut, &QAction::triggered, this, [this] { Zoom(0.8); });
    connect(a.fit, &QAction::triggered, this, &DiagramEditor::FitToWindow);
}

void DiagramEditor::SetSelectedInitial() {
    if (std::optional<ObjectNumber> state =
            SelectedState(QStringLiteral("Select the state the reset transition is to enter."),
                          QStringLiteral("Set as Initial State")))
        SetInitial(*state);
}

std::optional<ObjectNumber> DiagramEditor::SelectedState(const QString& message,
                                                         const QString& title) {
    std::optional<DiagramObject> selected = SingleSelection();
    if (!selected || selected->kind != DiagramObjectKind::State) {
        ui_.Message(this, message, title, MessageIcon::Information);
        return std::nullopt;
    }
    return selected->number;
}

void DiagramEditor::AddNudgeKeys() {
    // The arrow keys move the selected states and the reset by a grid step while the
    // drawing has the focus (the panels keep them for their own fields).
    const struct {
        Qt::Key key;
        int dx, dy;
    } nudges[] = {
        {Qt::Key_Left, -1, 0}, {Qt::Key_Right, 1, 0}, {Qt::Key_Up, 0, 1}, {Qt::Key_Down, 0, -1}};
    for (const auto& n : nudges) {
        auto* nudge = new QAction(view_);
        nudge->setShortcut(QKeySequence(n.key));
        nudge->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        view_->addAction(nudge);
        connect(nudge, &QAction::triggered, this, [this, n] { Nudge(n.dx, n.dy); });
    }
}

void DiagramEditor::BuildMenus(const EditorActions& a) {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addActions({a.save, a.saveAs});
    file->addSeparator();
    file->addAction(a.exportPicture);
    file->addSeparator();
    file->addAction(a.close);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addActions({a.undo, a.redo});
    edit->addSeparator();
    edit->addAction(a.remove);
    QMenu* draw = menuBar()->addMenu(QStringLiteral("&Draw"));
    draw->addActions({a.select, a.state, a.transition});
    draw->addSeparator();
    draw->addActions({a.action, a.reset, a.signal, a.constant});
    draw->addSeparator();
    draw->addAction(a.initial);
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("MenuView"));
    view->addActions({a.zoomIn, a.zoomOut, a.fit});
    view->addSeparator();
}

void DiagramEditor::BuildToolbar(const EditorActions& a) {
    QToolBar* bar = addToolBar(QStringLiteral("Diagram"));
    bar->setObjectName(QStringLiteral("ToolbarDiagram"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setMovable(false);
    bar->addActions({a.save, a.undo, a.redo});
    bar->addSeparator();
    bar->addActions({a.select, a.state, a.transition});
    bar->addSeparator();
    bar->addActions({a.action, a.reset, a.signal, a.constant});
    bar->addSeparator();
    bar->addAction(a.remove);
    bar->addSeparator();
    bar->addActions({a.zoomIn, a.zoomOut, a.fit});
}

void DiagramEditor::BuildPanels() {
    QMenu* viewMenu = menuBar()->findChild<QMenu*>(QStringLiteral("MenuView"));
    QDockWidget* propertiesDock =
        AddDock(QStringLiteral("Properties"), "DockProperties", BuildProperties());
    QDockWidget* checksDock = AddDock(QStringLiteral("Checks"), "DockChecks", BuildChecks());
    QDockWidget* previewDock = AddDock(QStringLiteral("Preview"), "DockPreview", BuildPreview());
    tabifyDockWidget(checksDock, previewDock);
    checksDock->raise();
    resizeDocks({propertiesDock}, {380}, Qt::Horizontal);
    resizeDocks({propertiesDock, checksDock}, {330, 470}, Qt::Vertical);

    for (QDockWidget* dock : {propertiesDock, checksDock, previewDock})
        viewMenu->addAction(dock->toggleViewAction());
    statusBar()->showMessage(QStringLiteral("Ready"));
}

void DiagramEditor::MakePropertyFields() {
    objectKind_ = new QLabel(QStringLiteral("Nothing selected"));
    objectKind_->setObjectName(QStringLiteral("LabelObject"));
    objectKind_->setWordWrap(true);
    name_ = NamedWidget<QLineEdit>("EditName");
    stateKind_ = NamedWidget<QComboBox>("ComboStateKind");
    // In the order of AsfStateKind. The initial state is no kind: the reset transition
    // chooses it (Set as Initial State).
    stateKind_->addItems({QStringLiteral("Ordinary"),
                          QStringLiteral("Default (when no condition holds)"),
                          QStringLiteral("Trap (end)")});
    stateKind_->setItemData(1,
                            QStringLiteral("A state whose transition conditions all fail goes "
                                           "to the default state; without one it stays where "
                                           "it is."),
                            Qt::ToolTipRole);
    priority_ = NamedWidget<QSpinBox>("SpinPriority");
    priority_->setRange(0, static_cast<int>(kMaxTransitionPriority));
    from_ = NamedWidget<QComboBox>("ComboFrom");
    to_ = NamedWidget<QComboBox>("ComboTo");
    value_ = NamedWidget<QLineEdit>("EditValue");
    text_ = NamedWidget<QPlainTextEdit>("EditText");
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setTabChangesFocus(true);
    apply_ = new QPushButton(QStringLiteral("Apply"));
    apply_->setObjectName(QStringLiteral("CommandApply"));
}

QWidget* DiagramEditor::BuildProperties() {
    auto* properties = new QWidget;
    auto* form = new QFormLayout(properties);
    MakePropertyFields();
    form->addRow(objectKind_);
    form->addRow(QStringLiteral("Name:"), name_);
    form->addRow(QStringLiteral("Kind:"), stateKind_);
    form->addRow(QStringLiteral("From:"), from_);
    form->addRow(QStringLiteral("To:"), to_);
    form->addRow(QStringLiteral("Priority:"), priority_);
    form->addRow(QStringLiteral("Value:"), value_);
    form->addRow(QStringLiteral("Text:"), text_);
    form->addRow(apply_);
    connect(apply_, &QPushButton::clicked, this, &DiagramEditor::ApplyProperties);
    connect(name_, &QLineEdit::returnPressed, this, &DiagramEditor::ApplyProperties);
    connect(value_, &QLineEdit::returnPressed, this, &DiagramEditor::ApplyProperties);
    connect(stateKind_, &QComboBox::activated, this, &DiagramEditor::ApplyProperties);
    return properties;
}

QWidget* DiagramEditor::BuildChecks() {
    checks_ = NamedWidget<QListWidget>("ListChecks");
    checks_->setAlternatingRowColors(true);
    // A long message is shown whole on as many lines as it takes, at the panel's width.
    checks_->setWordWrap(true);
    checks_->setTextElideMode(Qt::ElideNone);
    checks_->setResizeMode(QListView::Adjust);
    checks_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(checks_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const ObjectNumber object = item->data(Qt::UserRole).toLongLong();
        if (object == 0) return;
        if (QGraphicsItem* shown = scene_->SelectObject(object)) view_->ensureVisible(shown);
    });
    return checks_;
}

QWidget* DiagramEditor::BuildPreview() {
    preview_ = NamedWidget<QTabWidget>("TabsPreview");
    auto textPage = [this](const char* name, const QString& title) {
        auto* page = NamedWidget<QPlainTextEdit>(name);
        page->setReadOnly(true);
        page->setLineWrapMode(QPlainTextEdit::NoWrap);
        page->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        preview_->addTab(page, title);
        return page;
    };
    asml_ = textPage("TextAsml", QStringLiteral("AsmL"));
    if (project_) {
        sections_[0] = textPage("TextDeclarations", QStringLiteral("Declarations"));
        sections_[1] = textPage("TextInitialisation", QStringLiteral("Initialisation"));
        sections_[2] = textPage("TextBehaviour", QStringLiteral("Behaviour"));
        sections_[3] = textPage("TextUpdate", QStringLiteral("Update"));
    }
    return preview_;
}

bool DiagramEditor::IsModified() const {
    return !undo_->isClean();
}

bool DiagramEditor::Change(const QString& what, const std::function<Status(AsfDocument&)>& change) {
    AsfDocument edited = doc_;
    if (Status s = change(edited); !s) {
        ShowFailure(ui_, this, FromCore(s.message()));
        Refresh(); // a dragged object goes back to its place
        return false;
    }
    std::string before = doc_.Bytes();
    std::string after = edited.Bytes();
    if (before == after) {
        Refresh();
        return true;
    }
    doc_ = std::move(edited);
    undo_->push(new DocumentChange(*this, what, std::move(before), std::move(after)));
    Refresh();
    return true;
}

void DiagramEditor::Restore(const std::string& bytes) {
    AsfDocument doc;
    if (Status s = AsfDocument::Load(bytes, doc_.Path(), doc); !s) {
        ShowFailure(ui_, this, FromCore(s.message()));
        return;
    }
    doc_ = std::move(doc);
    Refresh();
}

void DiagramEditor::AddStateAt(AsfPoint at) {
    ObjectNumber number = 0;
    const std::string name = UnusedName(DescribeDiagram(doc_), "S");
    if (Change(QStringLiteral("Add State"),
               [&](AsfDocument& d) { return AddState(d, name, OnGrid(at), number); }))
        scene_->SelectObject(number);
}

void DiagramEditor::Connect(ObjectNumber from, ObjectNumber to) {
    // A new transition comes after the ones that leave the same object.
    ObjectNumber priority = 0;
    for (const ModelTransition& t : DescribeDiagram(doc_).transitions)
        if (t.from == from) priority = std::max(priority, t.priority);
    priority = std::min(priority + 1, kMaxTransitionPriority);
    ObjectNumber number = 0;
    if (Change(QStringLiteral("Add Transition"), [&](AsfDocument& d) {
            return AddTransition(d, from, to, priority, std::nullopt, number);
        }))
        scene_->SelectObject(number);
}

void DiagramEditor::MoveObjects(const DiagramMoves& moves) {
    Change(moves.size() == 1 ? QStringLiteral("Move") : QStringLiteral("Move Objects"),
           [&](AsfDocument& d) {
               for (const auto& [object, at] : moves) {
                   const bool reset = d.Find(AsfKind::Reset, object).has_value();
                   Status s = reset ? MoveReset(d, at) : MoveState(d, object, at);
                   if (!s) return s;
               }
               return Status::Ok();
           });
}

void DiagramEditor::Nudge(int dx, int dy) {
    DiagramMoves moves;
    for (const DiagramObject& o : scene_->SelectedObjects()) {
        const AsfKind kind = o.kind == DiagramObjectKind::State ? AsfKind::State : AsfKind::Reset;
        if (o.kind != DiagramObjectKind::State && o.kind != DiagramObjectKind::Reset) continue;
        if (std::optional<std::size_t> line = doc_.Find(kind, o.number)) {
            const AsfPoint at = PositionOf(doc_.Lines()[*line]);
            moves.push_back(
                {o.number, {at.x + dx * DiagramScene::kGrid, at.y + dy * DiagramScene::kGrid}});
        }
    }
    if (!moves.empty()) MoveObjects(moves);
}

void DiagramEditor::AddActionToSelected() {
    const std::optional<ObjectNumber> state =
        SelectedState(QStringLiteral("Select the state the action block belongs to."),
                      QStringLiteral("Add Action Block"));
    if (!state) return;
    ObjectNumber number = 0;
    if (Change(QStringLiteral("Add Action Block"),
               [&](AsfDocument& d) { return AddAction(d, *state, "", number); })) {
        scene_->SelectObject(number);
        Edit({DiagramObjectKind::Action, number});
    }
}

void DiagramEditor::SetInitial(ObjectNumber state) {
    Change(QStringLiteral("Set Initial State"),
           [state](AsfDocument& d) { return SetInitialState(d, state); });
}

void DiagramEditor::AddResetAt(AsfPoint at) {
    ObjectNumber number = 0;
    if (Change(QStringLiteral("Add Reset"),
               [&](AsfDocument& d) { return AddReset(d, OnGrid(at), number); }))
        scene_->SelectObject(number);
}

void DiagramEditor::AddDeclaration(DiagramObjectKind kind) {
    ObjectNumber number = 0;
    const bool signal = kind == DiagramObjectKind::Signal;
    const std::string name = UnusedName(DescribeDiagram(doc_), signal ? "sig" : "C");
    if (Change(signal ? QStringLiteral("Add Signal") : QStringLiteral("Add Constant"),
               [&](AsfDocument& d) {
                   return signal ? AddSignal(d, name, "0", number)
                                 : AddConstant(d, name, "0", number);
               }))
        Edit({kind, number});
}

void DiagramEditor::DeleteSelection() {
    const std::vector<DiagramObject> chosen = scene_->SelectedObjects();
    if (chosen.empty()) return;
    Change(QStringLiteral("Delete"), [&](AsfDocument& d) {
        for (const DiagramObject& o : chosen) {
            // Deleting a state takes its transitions and action blocks along; those that
            // were selected too are gone by the time their turn comes.
            Status s = Status::Ok();
            switch (o.kind) {
            case DiagramObjectKind::State:
                if (d.Find(AsfKind::State, o.number)) s = DeleteState(d, o.number);
                break;
            case DiagramObjectKind::Transition:
                if (d.Find(AsfKind::Transition, o.number)) s = DeleteTransition(d, o.number);
                break;
            case DiagramObjectKind::Action:
                if (d.Find(AsfKind::Action, o.number)) s = DeleteAction(d, o.number);
                break;
            case DiagramObjectKind::Reset:
                if (d.ResetNumber() != 0) s = RemoveReset(d);
                break;
            case DiagramObjectKind::Signal: s = DeleteSignal(d, o.number); break;
            case DiagramObjectKind::Constant: s = DeleteConstant(d, o.number); break;
            case DiagramObjectKind::Port:
            case DiagramObjectKind::None: break;
            }
            if (!s) return s;
        }
        return Status::Ok();
    });
}

QMenu* DiagramEditor::ContextMenu(DiagramObject object, AsfPoint at) {
    auto* menu = new QMenu(this);
    auto add = [menu](const QString& text, auto&& run) {
        QObject::connect(menu->addAction(text), &QAction::triggered, menu, run);
    };
    auto named = [this](const char* name) {
        return findChild<QAction*>(QString::fromLatin1(name));
    };
    switch (object.kind) {
    case DiagramObjectKind::None:
        add(QStringLiteral("Add State Here"), [this, at] { AddStateAt(at); });
        add(QStringLiteral("Add Reset Here"), [this, at] { AddResetAt(at); });
        menu->addAction(named("ActionAddSignal"));
        menu->addAction(named("ActionAddConstant"));
        menu->addSeparator();
        menu->addAction(named("ActionFit"));
        return menu;
    case DiagramObjectKind::State: {
        add(QStringLiteral("Rename"), [this, object] { Edit(object); });
        menu->addSeparator();
        const struct {
            const char* text;
            AsfStateKind kind;
        } kinds[] = {{"Ordinary State", AsfStateKind::Ordinary},
                     {"Default State (when no condition holds)", AsfStateKind::Default},
                     {"Trap State", AsfStateKind::Trap}};
        for (const auto& k : kinds)
            add(QString::fromLatin1(k.text), [this, object, kind = k.kind] {
                Change(QStringLiteral("Set State Kind"),
                       [&](AsfDocument& d) { return SetStateKind(d, object.number, kind); });
            });
        menu->addSeparator();
        add(QStringLiteral("Set as Initial State"), [this, object] { SetInitial(object.number); });
        menu->addSeparator();
        menu->addAction(named("ActionAddAction"));
        break;
    }
    case DiagramObjectKind::Transition:
    case DiagramObjectKind::Action:
    case DiagramObjectKind::Signal:
    case DiagramObjectKind::Constant:
        add(QStringLiteral("Edit"), [this, object] { Edit(object); });
        break;
    case DiagramObjectKind::Reset:
    case DiagramObjectKind::Port: break;
    }
    if (object.kind != DiagramObjectKind::Port) {
        menu->addSeparator();
        menu->addAction(named("ActionDelete"));
    }
    return menu;
}

std::optional<DiagramObject> DiagramEditor::SingleSelection() const {
    const std::vector<DiagramObject> chosen = scene_->SelectedObjects();
    if (chosen.size() != 1) return std::nullopt;
    return chosen.front();
}

void DiagramEditor::ApplyProperties() {
    std::optional<DiagramObject> o = SingleSelection();
    if (!o) return;
    const std::string name = ToCore(name_->text());
    const std::string value = ToCore(value_->text());
    const std::string text = ToCore(text_->toPlainText());
    const ObjectNumber number = o->number;
    switch (o->kind) {
    case DiagramObjectKind::State: {
        const auto kind = static_cast<AsfStateKind>(stateKind_->currentIndex());
        Change(QStringLiteral("Edit State"), [&](AsfDocument& d) {
            Status s = RenameState(d, number, name);
            return s ? SetStateKind(d, number, kind) : s;
        });
        break;
    }
    case DiagramObjectKind::Transition: {
        const ObjectNumber priority = priority_->value();
        const std::optional<std::string> condition =
            text.empty() ? std::nullopt : std::optional<std::string>(text);
        // A transition whose end is no state keeps its ends.
        const bool ends = from_->currentIndex() >= 0 && to_->currentIndex() >= 0;
        const ObjectNumber from = from_->currentData().toLongLong();
        const ObjectNumber to = to_->currentData().toLongLong();
        Change(QStringLiteral("Edit Transition"), [&](AsfDocument& d) {
            Status s = ends ? ReconnectTransition(d, number, from, to) : Status::Ok();
            if (s) s = SetTransitionPriority(d, number, priority);
            return s ? SetTransitionCondition(d, number, condition) : s;
        });
        break;
    }
    case DiagramObjectKind::Action:
        Change(QStringLiteral("Edit Action Block"),
               [&](AsfDocument& d) { return EditAction(d, number, text); });
        break;
    case DiagramObjectKind::Signal:
        Change(QStringLiteral("Edit Signal"),
               [&](AsfDocument& d) { return EditSignal(d, number, name, value); });
        break;
    case DiagramObjectKind::Constant:
        Change(QStringLiteral("Edit Constant"),
               [&](AsfDocument& d) { return EditConstant(d, number, name, value); });
        break;
    case DiagramObjectKind::Reset:
    case DiagramObjectKind::Port:
    case DiagramObjectKind::None: break;
    }
}

void DiagramEditor::Edit(DiagramObject object) {
    scene_->SelectObject(object.number);
    ShowSelection();
    if (auto* dock = findChild<QDockWidget*>(QStringLiteral("DockProperties"))) {
        dock->show();
        dock->raise();
    }
    switch (object.kind) {
    case DiagramObjectKind::State:
    case DiagramObjectKind::Signal:
    case DiagramObjectKind::Constant:
        name_->setFocus();
        name_->selectAll();
        break;
    case DiagramObjectKind::Transition:
    case DiagramObjectKind::Action:
        text_->setFocus();
        text_->selectAll();
        break;
    default: break;
    }
}

void DiagramEditor::ShowSelection() {
    std::optional<DiagramObject> o = SingleSelection();
    ShowPropertyRows(o ? o->kind : DiagramObjectKind::None);
    name_->clear();
    value_->clear();
    text_->clear();
    if (!o) {
        const std::size_t n = scene_->SelectedObjects().size();
        objectKind_->setText(
            n == 0 ? QStringLiteral("<b>Nothing selected</b><br><br>Click an object to see and "
                                    "change its properties, double-click it to edit its text. "
                                    "A double click on an empty place adds a state; drag with "
                                    "the Transition tool from one state to another to "
                                    "connect them.")
                   : QStringLiteral("<b>%1 objects selected</b>").arg(n));
        return;
    }
    objectKind_->setText(ShowObject(*o));
}

void DiagramEditor::ShowPropertyRows(DiagramObjectKind kind) {
    auto* form = qobject_cast<QFormLayout*>(name_->parentWidget()->layout());
    const bool state = kind == DiagramObjectKind::State;
    const bool transition = kind == DiagramObjectKind::Transition;
    const bool declaration =
        kind == DiagramObjectKind::Signal || kind == DiagramObjectKind::Constant;
    form->setRowVisible(name_, state || declaration);
    form->setRowVisible(stateKind_, state);
    form->setRowVisible(priority_, transition);
    form->setRowVisible(from_, transition);
    form->setRowVisible(to_, transition);
    form->setRowVisible(value_, declaration);
    form->setRowVisible(text_, transition || kind == DiagramObjectKind::Action);
    apply_->setVisible(state || transition || declaration || kind == DiagramObjectKind::Action);
}

QString DiagramEditor::ShowObject(DiagramObject o) {
    const DiagramModel model = DescribeDiagram(doc_);
    QString heading = QStringLiteral("<b>%1</b> (object %2)").arg(KindName(o.kind)).arg(o.number);
    if (o.kind == DiagramObjectKind::State && InitialStateOf(doc_) == o.number)
        heading += QStringLiteral("<br>the initial state: the reset transition enters it");
    for (const ModelState& s : model.states)
        if (s.id == o.number) {
            name_->setText(FromCore(s.name));
            stateKind_->setCurrentIndex(static_cast<int>(s.kind));
        }
    from_->clear();
    to_->clear();
    if (o.kind == DiagramObjectKind::Transition) {
        if (model.reset && model.reset->id)
            from_->addItem(QStringLiteral("Reset"), static_cast<qlonglong>(*model.reset->id));
        for (const ModelState& s : model.states) {
            from_->addItem(FromCore(s.name), static_cast<qlonglong>(s.id.value_or(0)));
            to_->addItem(FromCore(s.name), static_cast<qlonglong>(s.id.value_or(0)));
        }
    }
    heading += ShowLinks(model, o.number);
    for (const ModelSignal& s : model.signals)
        if (s.id == o.number) {
            name_->setText(FromCore(s.name));
            value_->setText(FromCore(s.init));
        }
    for (const ModelConstant& c : model.constants)
        if (c.id == o.number) {
            name_->setText(FromCore(c.name));
            value_->setText(FromCore(c.value));
        }
    return heading;
}

QString DiagramEditor::ShowLinks(const DiagramModel& model, ObjectNumber number) {
    auto nameOf = [&](ObjectNumber n) {
        if (model.reset && model.reset->id == n) return QStringLiteral("Reset");
        return FromCore(doc_.NameOf(n));
    };
    QString links;
    for (const ModelTransition& t : model.transitions)
        if (t.id == number) {
            from_->setCurrentIndex(from_->findData(static_cast<qlonglong>(t.from)));
            to_->setCurrentIndex(to_->findData(static_cast<qlonglong>(t.to)));
            links += QStringLiteral("<br>%1 \u2192 %2")
                         .arg(nameOf(t.from).toHtmlEscaped(), nameOf(t.to).toHtmlEscaped());
            priority_->setValue(static_cast<int>(t.priority));
            text_->setPlainText(FromCore(t.condition.value_or(std::string())));
        }
    for (const ModelAction& a : model.actions)
        if (a.id == number) {
            links += QStringLiteral("<br>of %1").arg(nameOf(a.state).toHtmlEscaped());
            text_->setPlainText(FromCore(a.text));
        }
    for (const ModelPort& p : model.ports)
        if (p.id == number)
            links += QStringLiteral("<br>%1 %2")
                         .arg(p.input ? QStringLiteral("input") : QStringLiteral("output"),
                              FromCore(p.name).toHtmlEscaped());
    return links;
}

void DiagramEditor::Refresh() {
    scene_->Show(doc_);
    ShowSelection();
    ShowChecks();
    ShowTitle();
    const DiagramModel model = DescribeDiagram(doc_);
    statusBar()->showMessage(QStringLiteral("%1 states, %2 transitions, %3 action blocks")
                                 .arg(model.states.size())
                                 .arg(model.transitions.size())
                                 .arg(model.actions.size()));
}

void DiagramEditor::ShowChecks() {
    std::vector<DiagramCheck> checks;
    if (project_) {
        DiagramPreview preview = PreviewDiagram(doc_, project_->tables, project_->function);
        checks = DiagramChecks(doc_, ToCore(functionName_), &preview);
        asml_->setPlainText(MultiLineFromCore(preview.asml));
        const std::string* texts[4] = {&preview.declarations, &preview.initialisation,
                                       &preview.behaviour, &preview.update};
        for (int i = 0; i < 4; ++i) sections_[i]->setPlainText(MultiLineFromCore(*texts[i]));
    } else {
        checks = DiagramChecks(doc_, ToCore(functionName_), nullptr);
        asml_->setPlainText(MultiLineFromCore(DiagramAsml(doc_, ToCore(functionName_), "")));
    }
    checks_->clear();
    int errors = 0;
    for (const DiagramCheck& c : checks) {
        const bool error = c.severity == DiagramSeverity::Error;
        errors += error ? 1 : 0;
        QString text = FromCore(c.message);
        if (c.line > 0) text = QStringLiteral("Line %1: %2").arg(c.line).arg(text);
        auto* item =
            new QListWidgetItem(style()->standardIcon(error ? QStyle::SP_MessageBoxCritical
                                                            : QStyle::SP_MessageBoxWarning),
                                text, checks_);
        item->setData(Qt::UserRole, static_cast<qlonglong>(ShownObject(doc_, c.object, c.line)));
        item->setToolTip(FromCore(DiagramCheckText(c, doc_.Path())));
    }
    if (checks.empty()) new QListWidgetItem(QStringLiteral("No problems found."), checks_);
    if (auto* dock = findChild<QDockWidget*>(QStringLiteral("DockChecks")))
        dock->setWindowTitle(
            checks.empty()
                ? QStringLiteral("Checks")
                : QStringLiteral("Checks (%1, %2)")
                      .arg(Counted(errors, "error"),
                           Counted(static_cast<int>(checks.size()) - errors, "warning")));
}

void DiagramEditor::ShowTitle() {
    // The folder tells apart the editors of files of the same name.
    const QFileInfo file(path_);
    setWindowTitle(QStringLiteral("%1%2 (%3) - Kestrel Diagram Editor")
                       .arg(file.fileName(), IsModified() ? QStringLiteral(" *") : QString(),
                            QDir::toNativeSeparators(file.absolutePath())));
}

bool DiagramEditor::WriteTo(const QString& path) {
    std::optional<std::string> stored = ChosenPath(ui_, this, path);
    if (!stored) return false;
    if (Status s = WriteFileAtomic(*stored, doc_.Bytes()); !s) {
        ShowFailure(ui_, this, FromCore(s.message()));
        return false;
    }
    if (*stored != doc_.Path()) {
        AsfDocument renamed;
        if (AsfDocument::Load(doc_.Bytes(), *stored, renamed)) doc_ = std::move(renamed);
    }
    path_ = path;
    undo_->setClean();
    ShowTitle();
    statusBar()->showMessage(QStringLiteral("Saved %1").arg(path), 4000);
    return true;
}

bool DiagramEditor::Save() {
    return WriteTo(path_);
}

bool DiagramEditor::SaveAs() {
    FileDialogRequest request;
    request.title = QStringLiteral("Save Diagram As");
    request.filter = AsfFileFilter();
    request.folder = QFileInfo(path_).absolutePath();
    request.fileName = path_;
    const QString chosen = ui_.SaveFile(this, request);
    return !chosen.isEmpty() && WriteTo(chosen);
}

void DiagramEditor::ExportPicture() {
    FileDialogRequest request;
    request.title = QStringLiteral("Export Diagram Picture");
    request.filter = QStringLiteral("PNG Picture (*.png)|*.png|SVG Drawing (*.svg)|*.svg");
    request.folder = QFileInfo(path_).absolutePath();
    const QFileInfo file(path_);
    request.fileName =
        file.absolutePath() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral(".png");
    const QString chosen = ui_.SaveFile(this, request);
    if (chosen.isEmpty()) return;
    std::optional<std::string> stored = ChosenPath(ui_, this, chosen);
    if (!stored) return;

    const QList<QGraphicsItem*> selected = scene_->selectedItems();
    scene_->clearSelection();
    const QByteArray bytes = DiagramPictureBytes(
        *scene_, chosen.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive), file.fileName());
    for (QGraphicsItem* item : selected) item->setSelected(true);
    if (Status s = WriteFileAtomic(
            *stored, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        !s)
        ShowFailure(ui_, this, FromCore(s.message()));
}

bool DiagramEditor::ShowLine(int line) {
    const ObjectNumber object = ShownObject(doc_, 0, line);
    if (object == 0) return false;
    QGraphicsItem* shown = scene_->SelectObject(object);
    if (!shown) return false;
    view_->ensureVisible(shown);
    return true;
}

void DiagramEditor::FitToWindow() {
    QRectF area = scene_->itemsBoundingRect();
    if (area.isEmpty()) area = scene_->sceneRect();
    view_->fitInView(area.adjusted(-20, -20, 20, 20), Qt::KeepAspectRatio);
}

void DiagramEditor::ShowMachine() {
    QRectF area;
    QRectF drawn; // the texts and ports, without the frames behind them
    for (QGraphicsItem* item : scene_->items()) {
        const DiagramObjectKind kind = DiagramScene::ObjectOf(item).kind;
        if (kind != DiagramObjectKind::None && kind != DiagramObjectKind::Port)
            area |= item->sceneBoundingRect();
        else if (item->zValue() >= 0)
            drawn |= item->sceneBoundingRect();
    }
    // A new template has no machine yet: its signature and ports are what there is to read.
    if (area.isEmpty()) area = drawn;
    if (area.isEmpty()) {
        FitToWindow();
        return;
    }
    view_->resetTransform();
    view_->fitInView(area.adjusted(-40, -40, 40, 40), Qt::KeepAspectRatio);
    if (view_->transform().m11() > 1.5) {
        view_->resetTransform();
        view_->scale(1.5, 1.5);
        view_->centerOn(area.center());
    }
}

void DiagramEditor::Zoom(double factor) {
    const double scale = view_->transform().m11() * factor;
    if (scale < 0.05 || scale > 20) return;
    view_->scale(factor, factor);
}

bool DiagramEditor::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl and the wheel zoom about the pointer; the wheel alone scrolls.
    if (watched == view_->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            Zoom(wheel->angleDelta().y() > 0 ? 1.15 : 1 / 1.15);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void DiagramEditor::closeEvent(QCloseEvent* event) {
    if (IsModified()) {
        const int answer = ui_.Message(
            this,
            QStringLiteral("The diagram %1 has been changed.\nDo you want to save the changes?")
                .arg(path_),
            QStringLiteral("Kestrel Diagram Editor"), MessageIcon::Question,
            MessageButtons::YesNoCancel);
        if (answer == kAnswerCancel || (answer == kAnswerYes && !Save())) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

} // namespace kestrel
