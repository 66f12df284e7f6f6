// Registers the resources of kestrel_gui.qrc once (Q_INIT_RESOURCE must be called from
// the global namespace).
#include "GuiResources.h"

#include "project/InputRefusal.h"

#include <QIcon>
#include <QLabel>
#include <QtGlobal>

static void RegisterKestrelGuiResources() {
    Q_INIT_RESOURCE(kestrel_gui);
}

namespace kestrel {

void InitGuiResources() {
    static const bool registered = [] {
        RegisterKestrelGuiResources();
        return true;
    }();
    (void)registered;
}

ProgramLabels MakeProgramLabels(QWidget* parent, int iconSize, double nameScale) {
    auto* icon = new QLabel(parent);
    icon->setObjectName(QStringLiteral("ImageLogo"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/kestrel.svg")).pixmap(iconSize, iconSize));
    auto* name = new QLabel(QString::fromLatin1(kApplicationTitle), parent);
    name->setObjectName(QStringLiteral("LabelName"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * nameScale);
    big.setBold(true);
    name->setFont(big);
    auto* version = new QLabel(QString::fromLatin1(kApplicationVersion), parent);
    version->setObjectName(QStringLiteral("LabelVersion"));
    return {icon, name, version};
}

} // namespace kestrel
