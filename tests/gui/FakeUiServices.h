#pragma once
// A scripted desktop for the window tests: records every message box and dialog (texts,
// titles, icons, filters, start folders) and answers from queues.
#include "UiServices.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel::test {

struct UiCall {
    QString kind; // "message", "open", "open files", "save", "folder", "document", "program"
    QString text; // message text, or the document or file opened
    QString title;
    MessageIcon icon = MessageIcon::None;
    QString filter;
    QString folder;
};

class FakeUiServices final : public UiServices {
public:
    QList<UiCall> calls;
    QList<int> messageAnswers;       // default kAnswerOk
    QStringList fileAnswers;         // default "" (cancelled)
    QList<QStringList> filesAnswers; // of OpenFiles; default none (cancelled)
    QStringList folderAnswers;       // default "" (cancelled)

    int Message(QWidget*, const QString& text, const QString& title, MessageIcon icon,
                MessageButtons) override {
        calls.append({QStringLiteral("message"), text, title, icon, {}, {}});
        return messageAnswers.isEmpty() ? kAnswerOk : messageAnswers.takeFirst();
    }
    QString OpenFile(QWidget*, const FileDialogRequest& r) override {
        calls.append({QStringLiteral("open"), {}, r.title, MessageIcon::None, r.filter, r.folder});
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
    QStringList OpenFiles(QWidget*, const FileDialogRequest& r) override {
        calls.append(
            {QStringLiteral("open files"), {}, r.title, MessageIcon::None, r.filter, r.folder});
        return filesAnswers.isEmpty() ? QStringList() : filesAnswers.takeFirst();
    }
    QString SaveFile(QWidget*, const FileDialogRequest& r) override {
        calls.append({QStringLiteral("save"), {}, r.title, MessageIcon::None, r.filter, r.folder});
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
    QString ChooseFolder(QWidget*, const QString& title, const QString& start) override {
        calls.append({QStringLiteral("folder"), {}, title, MessageIcon::None, {}, start});
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }
    bool OpenDocument(const QString& pathOrUrl) override {
        calls.append({QStringLiteral("document"), pathOrUrl, {}, MessageIcon::None, {}, {}});
        return true;
    }
    // Recorded with the program as its title.
    bool StartProgram(const QString& program, const QString& file) override {
        calls.append({QStringLiteral("program"), file, program, MessageIcon::None, {}, {}});
        return true;
    }

    // Every call, one line each: kind, title, text, filter, folder, icon; `dir` as $DIR.
    QString Transcript(const QString& dir) const {
        QString text;
        for (const UiCall& c : calls)
            text += QStringList{c.kind,   c.title,  c.text,
                                c.filter, c.folder, QString::number(static_cast<int>(c.icon))}
                        .join(QStringLiteral(" | ")) +
                    QLatin1Char('\n');
        return text.replace(dir, QStringLiteral("$DIR")).replace('\r', QStringLiteral("\\r"));
    }
    QList<UiCall> Messages() const {
        QList<UiCall> messages;
        for (const UiCall& call : calls)
            if (call.kind == QStringLiteral("message")) messages.append(call);
        return messages;
    }
};

} // namespace kestrel::test
