// The splash window: a frameless panel with the icon, the name, the version label "v1.1"
// and a line on what the program does; a single-shot timer hands over to the main window.
#include "FormSplash.h"

#include "GuiResources.h"
#include "project/InputRefusal.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
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

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ImageLogo"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/kestrel.svg")).pixmap(96, 96));
    auto* name = new QLabel(QString::fromLatin1(kApplicationTitle), this);
    name->setObjectName(QStringLiteral("LabelName"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 2.6);
    big.setBold(true);
    name->setFont(big);
    auto* version = new QLabel(QString::fromLatin1(kApplicationVersion), this);
    version->setObjectName(QStringLiteral("LabelVersion"));
    auto* line = new QLabel(QStringLiteral("SystemC Transactor Generator"), this);
    line->setObjectName(QStringLiteral("LabelProduct"));

    auto* text = new QVBoxLayout;
    text->addStretch();
    text->addWidget(name);
    text->addWidget(line);
    text->addWidget(version);
    text->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(32, 28, 48, 28);
    layout->setSpacing(24);
    layout->addWidget(icon);
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
