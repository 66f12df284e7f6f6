// The splash window: a frameless panel with the icon, the name, the version label "v1.1"
// and a line on what the program does; a single-shot timer hands over to the main window.
#include "FormSplash.h"

#include "GuiResources.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace kestrel {

FormSplash::FormSplash(std::function<void()> loadMain)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), loadMain_(std::move(loadMain)) {
    InitGuiResources();
    setObjectName(QStringLiteral("FormSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setStyleSheet(QStringLiteral("#FormSplash { background: #1f3a5f; border: 1px solid #0d1f33; }"
                                 "QLabel { color: white; }"));

    const ProgramLabels program = MakeProgramLabels(this, 96, 2.6);
    auto* line = new QLabel(QStringLiteral("SystemC Transactor Generator"), this);
    line->setObjectName(QStringLiteral("LabelProduct"));

    auto* text = new QVBoxLayout;
    text->addStretch();
    text->addWidget(program.name);
    text->addWidget(line);
    text->addWidget(program.version);
    text->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(32, 28, 48, 28);
    layout->setSpacing(24);
    layout->addWidget(program.icon);
    layout->addLayout(text);

    timer_.setSingleShot(true);
    timer_.setInterval(kSplashMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &FormSplash::TimeUp);
}

void FormSplash::Start() {
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    show();
    timer_.start();
}

void FormSplash::TimeUp() {
    timer_.stop();
    if (loadMain_) loadMain_();
    close();
}

} // namespace kestrel
