#pragma once
// The seam between the windows and the desktop: message boxes, the open and save file
// dialogs, the folder browser, opening a document or web address with the desktop's
// program and starting a viewer program on a file. The windows call nothing else of the desktop, so
// tests answer every dialog.
#include <QString>
#include <QStringList>

class QWidget;

namespace kestrel {

struct InputRefusal;

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

// The answers of a message box (the classic button numbers).
enum MessageAnswer { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// A file dialog. The filter is written "Description (*.ext)|*.ext", pairs joined by '|'.
struct FileDialogRequest {
    QString title;
    QString filter;
    QString folder;   // where the dialog starts
    QString fileName; // the name it proposes, if any
};

class UiServices {
public:
    virtual ~UiServices() = default;
    // Shows a modal message box; returns the MessageAnswer of the pressed button. Texts use
    // CR LF or LF line breaks.
    virtual int Message(QWidget* parent, const QString& text, const QString& title,
                        MessageIcon icon, MessageButtons buttons = MessageButtons::Ok) = 0;
    // The chosen file's full path; empty when cancelled.
    virtual QString OpenFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // The chosen files' full paths, one or more; empty when cancelled.
    virtual QStringList OpenFiles(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString SaveFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // The chosen folder; empty when cancelled.
    virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) = 0;
    // Opens a file or a web address with the desktop's program for it.
    virtual bool OpenDocument(const QString& pathOrUrl) = 0;
    // Starts a program of the desktop (a full path) on a file, not waiting for it.
    virtual bool StartProgram(const QString& program, const QString& file) = 0;
};

// A refused input as its message box: critical icon, the refusal's title or "Kestrel".
void ShowRefusal(UiServices& ui, QWidget* parent, const InputRefusal& refusal);

// A file or other failure whose message names the file: critical icon, title "Kestrel".
void ShowFailure(UiServices& ui, QWidget* parent, const QString& text);

} // namespace kestrel
