// The help window: a text browser over the installed help pages with Back, Forward and
// Contents buttons. Links between pages stay in the window; links to web addresses go to
// the desktop's browser. It opens over the main window, within the screen.
#include "HelpViewer.h"

#include "DialogPlacement.h"
#include "GuiResources.h"
#include "UiServices.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace kestrel {

HelpViewer::HelpViewer(UiServices& ui, QString helpFolder, QWidget* mainWindow)
    : QObject(mainWindow), ui_(ui), folder_(std::move(helpFolder)), mainWindow_(mainWindow) {}

QString HelpViewer::PagePath(const QString& topic) const {
    return QDir(folder_).filePath(topic + QStringLiteral(".html"));
}

bool HelpViewer::ShowHelp(const QString& topic) {
    const QString page = PagePath(topic);
    if (!QFileInfo(page).isFile()) {
        ShowFailure(ui_, mainWindow_,
                    QStringLiteral("The help page \"%1\" cannot be found: the help is not "
                                   "installed beside the program.")
                        .arg(QDir::toNativeSeparators(page)));
        return false;
    }
    if (!window_) {
        // A window of its own (no parent), so it can stay open beside the main window.
        InitGuiResources();
        auto* window = new QWidget(nullptr, Qt::Window);
        window->setObjectName(QStringLiteral("FormHelp"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(QStringLiteral("Kestrel Help"));
        window->setWindowIcon(QIcon(QStringLiteral(":/icons/help.svg")));
        auto* back = new QPushButton(QStringLiteral("Back"), window);
        back->setObjectName(QStringLiteral("CommandBack"));
        auto* forward = new QPushButton(QStringLiteral("Forward"), window);
        forward->setObjectName(QStringLiteral("CommandForward"));
        auto* contents = new QPushButton(QStringLiteral("Contents"), window);
        contents->setObjectName(QStringLiteral("CommandContents"));
        browser_ = new QTextBrowser(window);
        browser_->setObjectName(QStringLiteral("BrowserHelp"));
        browser_->setOpenExternalLinks(false);
        browser_->setOpenLinks(false);
        connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
            if (url.isLocalFile() || url.isRelative())
                browser_->setSource(url.isRelative() ? browser_->source().resolved(url) : url);
            else
                ui_.OpenDocument(url.toString());
        });
        connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
        connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
        connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
        connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
        connect(contents, &QPushButton::clicked, this, [this] {
            browser_->setSource(QUrl::fromLocalFile(PagePath(QStringLiteral("Main"))));
        });
        back->setEnabled(false);
        forward->setEnabled(false);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(back);
        buttons->addWidget(forward);
        buttons->addWidget(contents);
        buttons->addStretch();
        auto* layout = new QVBoxLayout(window);
        layout->addLayout(buttons);
        layout->addWidget(browser_);
        window_ = window;
        PlaceWithinScreen(window, mainWindow_, QSize(760, 640));
    }
    browser_->setSource(QUrl::fromLocalFile(page));
    window_->show();
    window_->raise();
    window_->activateWindow();
    return true;
}

void HelpViewer::Close() {
    if (!window_) return;
    window_->close();
    delete window_.data();
}

} // namespace kestrel
