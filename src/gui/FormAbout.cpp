// The About box. The link label hands its address to the desktop's browser through the
// desktop seam; OK closes the box, which gives control back to the main window.
#include "FormAbout.h"

#include "GuiResources.h"
#include "MainWindow.h"
#include "UiServices.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

FormAbout::FormAbout(MainWindow& main) : QDialog(&main) {
    InitGuiResources();
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("About Kestrel"));

    const ProgramLabels program = MakeProgramLabels(this, 64, 1.8);
    auto* credit = new QLabel(
        QStringLiteral("SystemC transactor generator.\n\n"
                       "Declare the TLM functions and RTL ports of a transactor, describe its\n"
                       "behaviour as state diagrams or as an AsmL specification, and generate\n"
                       "the SystemC interface, header and implementation files."),
        this);
    credit->setObjectName(QStringLiteral("LabelCredit"));
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(kAboutLink), this);
    link->setObjectName(QStringLiteral("LabelLink"));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setOpenExternalLinks(false);
    connect(link, &QLabel::linkActivated, this,
            [&main](const QString& address) { main.Context().ui.OpenDocument(address); });
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("CommandOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* heading = new QVBoxLayout;
    heading->addWidget(program.name);
    heading->addWidget(program.version);
    auto* top = new QHBoxLayout;
    top->addWidget(program.icon);
    top->addLayout(heading);
    top->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(link);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(credit);
    layout->addLayout(buttons);
}

} // namespace kestrel
