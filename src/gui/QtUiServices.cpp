// The Qt answers to the desktop seam: QMessageBox with the classic icons and buttons,
// QFileDialog for files and folders, QDesktopServices for documents and web links, and a
// detached QProcess for a viewer program.
#include "QtUiServices.h"

#include "project/InputRefusal.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace kestrel {

QString QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (description.contains(QLatin1Char('(')) ? description
                                                           : description + " (" + patterns + ")");
    }
    return filters.join(QStringLiteral(";;"));
}

int QtUiServices::Message(QWidget* parent, const QString& text, const QString& title,
                          MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(parent);
    box.setWindowTitle(title.isEmpty() ? QString::fromLatin1(kApplicationTitle) : title);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setText(shown);
    switch (icon) {
    case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MessageIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::None: break;
    }
    switch (buttons) {
    case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel: return kAnswerCancel;
    case QMessageBox::Yes: return kAnswerYes;
    case QMessageBox::No: return kAnswerNo;
    default: return kAnswerOk;
    }
}

namespace {

QString StartPath(const FileDialogRequest& request) {
    if (request.fileName.isEmpty()) return request.folder;
    return QDir(request.folder).filePath(request.fileName);
}

} // namespace

QString QtUiServices::OpenFile(QWidget* parent, const FileDialogRequest& request) {
    return QFileDialog::getOpenFileName(parent, request.title, StartPath(request),
                                        QtNameFilters(request.filter));
}

QStringList QtUiServices::OpenFiles(QWidget* parent, const FileDialogRequest& request) {
    return QFileDialog::getOpenFileNames(parent, request.title, StartPath(request),
                                         QtNameFilters(request.filter));
}

QString QtUiServices::SaveFile(QWidget* parent, const FileDialogRequest& request) {
    return QFileDialog::getSaveFileName(parent, request.title, StartPath(request),
                                        QtNameFilters(request.filter));
}

QString QtUiServices::ChooseFolder(QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

bool QtUiServices::OpenDocument(const QString& pathOrUrl) {
    const QUrl url = pathOrUrl.contains(QStringLiteral("://"))
                         ? QUrl(pathOrUrl)
                         : QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

bool QtUiServices::StartProgram(const QString& program, const QString& file) {
    return QProcess::startDetached(program, {file});
}

} // namespace kestrel
