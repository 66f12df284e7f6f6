// Background work for the assignment and library windows: the work runs on a QThread
// while a local event loop keeps the window painted (user input excluded); the loop ends
// on the thread's finished signal, which arrives after every event the work posted.
#include "assign/AssignSupport.h"

#include "GuiText.h"
#include "UiServices.h"

#include <QEventLoop>
#include <QThread>
#include <QWidget>

#include <memory>

namespace kestrel {

void RunWithoutBlocking(QWidget* window, const std::function<void()>& work) {
    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create(work));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    const bool wasEnabled = window->isEnabled();
    window->setEnabled(false);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    window->setEnabled(wasEnabled);
}

std::optional<std::string> ChosenPath(UiServices& ui, QWidget* window, const QString& chosen) {
    std::string stored = ToCore(chosen);
    if (FromCore(stored) == chosen) return stored;
    ShowFailure(ui, window,
                chosen + QStringLiteral(" holds characters a project file cannot store "
                                        "(Windows-1252 only)"));
    return std::nullopt;
}

} // namespace kestrel
