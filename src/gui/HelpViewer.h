#pragma once
// The help viewer: a window showing the HTML help pages that lie beside the program, one
// page per topic (<topic>.html). The main window opens it on a topic and closes it when
// it closes itself.
#include <QObject>
#include <QPointer>
#include <QString>

class QTextBrowser;
class QWidget;

namespace kestrel {

class UiServices;

class HelpViewer : public QObject {
    Q_OBJECT

public:
    HelpViewer(UiServices& ui, QString helpFolder, QWidget* mainWindow);

    // Shows the topic's page, opening the help window if needed. False, after a message
    // naming the missing page, when the help is not installed.
    bool ShowHelp(const QString& topic);
    void Close();
    // The help window while it is open.
    QWidget* Window() const { return window_; }
    QString PagePath(const QString& topic) const;

private:
    UiServices& ui_;
    QString folder_;
    QWidget* mainWindow_;
    QPointer<QWidget> window_;
    QTextBrowser* browser_ = nullptr;
};

} // namespace kestrel
