#pragma once
// The desktop's own message boxes, file dialogs, folder browser, document opener and
// program starter.
#include "UiServices.h"

namespace kestrel {

class QtUiServices final : public UiServices {
public:
    int Message(QWidget* parent, const QString& text, const QString& title, MessageIcon icon,
                MessageButtons buttons) override;
    QString OpenFile(QWidget* parent, const FileDialogRequest& request) override;
    QStringList OpenFiles(QWidget* parent, const FileDialogRequest& request) override;
    QString SaveFile(QWidget* parent, const FileDialogRequest& request) override;
    QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) override;
    bool OpenDocument(const QString& pathOrUrl) override;
    bool StartProgram(const QString& program, const QString& file) override;
};

// "Description (*.ext)|*.ext|..." as a Qt name filter list "Description (*.ext);;...".
QString QtNameFilters(const QString& filter);

} // namespace kestrel
