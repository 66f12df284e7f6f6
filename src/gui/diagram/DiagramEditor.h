#pragma once
// DiagramEditor, the state-diagram editor: a top-level window over one ASF document with
// the drawing, a properties panel for the selected object, the checks of the diagram and
// a preview of what the FSM route makes of it. Every change goes through the core's
// editing operations and onto the undo stack as the document's bytes before and after;
// Save writes the document's bytes atomically, so an unchanged diagram stays byte-exact.
#include "diagram/DiagramScene.h"
#include "fsm/AsfDocument.h"
#include "model/ProjectTables.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QGraphicsView;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QUndoStack;

class QDockWidget;

namespace kestrel {

class UiServices;
struct DiagramModel;

// The project a diagram is edited for: its tables as stored and the function's slot
// (from 1), so the checks and the preview are those of a run.
struct DiagramProject {
    ProjectTables tables;
    int function = 0;
};

class DiagramEditor : public QMainWindow {
    Q_OBJECT

public:
    // Reads the file into a new window (shown, deleted when closed). Null, after a message
    // naming the file, when it cannot be read or is no diagram; the window already open
    // on the file, when there is one. `functionName` names the function in the checks
    // (the file's base name when empty).
    static DiagramEditor* Open(UiServices& ui, const QString& path,
                               std::optional<DiagramProject> project = std::nullopt,
                               const QString& functionName = QString());
    ~DiagramEditor() override;

    const AsfDocument& Document() const { return doc_; }
    const QString& FilePath() const { return path_; }
    DiagramScene& Scene() { return *scene_; }
    QGraphicsView& View() { return *view_; }
    QUndoStack& UndoStack() { return *undo_; }
    bool IsModified() const;

    // Carries out a change through the core on the document; on a refusal the message is
    // shown and nothing changes. A change that alters no byte is not recorded.
    bool Change(const QString& what, const std::function<Status(AsfDocument&)>& change);

    void AddStateAt(AsfPoint at);
    void Connect(ObjectNumber from, ObjectNumber to);
    void MoveObjects(const DiagramMoves& moves);
    // Moves the selected states and reset by grid steps (y upwards, as on the page).
    void Nudge(int dx, int dy);
    void AddActionToSelected();
    void AddResetAt(AsfPoint at);
    // Points the reset transition at the state (adding the reset and its transition when
    // the diagram lacks them), as one undoable change.
    void SetInitial(ObjectNumber state);
    // A diagram signal or constant with a new name and the value 0.
    void AddDeclaration(DiagramObjectKind kind);
    void DeleteSelection();
    // Applies the properties panel's fields to the selected object.
    void ApplyProperties();

    // The menu of a right click on an object or an empty place (`at`); the caller shows
    // and deletes it.
    QMenu* ContextMenu(DiagramObject object, AsfPoint at);

    bool Save();
    bool SaveAs();
    void ExportPicture();
    void FitToWindow();
    // Selects and scrolls to the object of file line `line` (from 1; a label or condition
    // shows its owner). False, with the selection kept, when no object is on that line.
    bool ShowLine(int line);
    // The states, transitions and texts of the machine as large as the view allows; without
    // a machine (a new template), its texts and ports.
    void ShowMachine();
    void Zoom(double factor);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DiagramEditor(UiServices& ui, QString path, AsfDocument doc,
                  std::optional<DiagramProject> project, QString functionName);
    // A dock on the right holding `content`.
    QDockWidget* AddDock(const QString& title, const char* objectName, QWidget* content);
    struct EditorActions;
    void BuildActions();
    void AddFileActions(EditorActions& a);
    void AddEditActions(EditorActions& a);
    void AddToolActions(EditorActions& a);
    void AddDrawActions(EditorActions& a);
    // The arrow keys that nudge the selection while the drawing has the focus.
    void AddNudgeKeys();
    void BuildMenus(const EditorActions& a);
    void BuildToolbar(const EditorActions& a);
    // Set as Initial State from the menu: the selected state, or a message without one.
    void SetSelectedInitial();
    // The selected state; without a single state selected, nothing after the message.
    std::optional<ObjectNumber> SelectedState(const QString& message, const QString& title);
    void BuildPanels();
    // The properties panel's fields, laid out in a form with their labels.
    QWidget* BuildProperties();
    void MakePropertyFields();
    QWidget* BuildChecks();
    QWidget* BuildPreview();
    // Takes the document's bytes (an undo or redo) and shows them.
    void Restore(const std::string& bytes);
    void Refresh();
    void ShowSelection();
    // Shows the properties panel's rows that an object of the kind has.
    void ShowPropertyRows(DiagramObjectKind kind);
    // Fills the panel's fields with the object's values; returns its heading.
    QString ShowObject(DiagramObject o);
    // A transition's ends, an action's state or a port's direction, as lines of the heading.
    QString ShowLinks(const DiagramModel& model, ObjectNumber number);
    void ShowChecks();
    void ShowPreview();
    void ShowTitle();
    void Edit(DiagramObject object);
    bool WriteTo(const QString& path);
    std::optional<DiagramObject> SingleSelection() const;

    class DocumentChange;

    UiServices& ui_;
    QString path_;
    AsfDocument doc_;
    std::optional<DiagramProject> project_;
    QString functionName_;

    DiagramScene* scene_ = nullptr;
    QGraphicsView* view_ = nullptr;
    QUndoStack* undo_ = nullptr;

    QLabel* objectKind_ = nullptr;
    QLineEdit* name_ = nullptr;
    QComboBox* stateKind_ = nullptr;
    QSpinBox* priority_ = nullptr;
    QComboBox* from_ = nullptr; // a transition's ends: states, and the reset as a start
    QComboBox* to_ = nullptr;
    QLineEdit* value_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QPushButton* apply_ = nullptr;
    QListWidget* checks_ = nullptr;
    QTabWidget* preview_ = nullptr;
    QPlainTextEdit* asml_ = nullptr;
    QPlainTextEdit* sections_[4] = {};
};

} // namespace kestrel
