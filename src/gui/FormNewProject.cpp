// New Project: the two boxes go to the core's NewProject as a draft; the draft comes back
// trimmed (and the location with its final separator) and is shown again. A refusal is a
// message box followed by the focus on the field it names.
#include "FormNewProject.h"

#include "GuiText.h"
#include "GuiWidgets.h"
#include "MainWindow.h"
#include "RefusedFields.h"
#include "UiServices.h"
#include "project/ProjectCommands.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

FormNewProject::FormNewProject(MainWindow& main) : QDialog(&main), main_(main) {
    setObjectName(QStringLiteral("FormNewProject"));
    setWindowTitle(QStringLiteral("New Transactor Project"));

    auto* nameLabel = new QLabel(QStringLiteral("Project Name:"), this);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("TextPName"));
    nameLabel->setBuddy(name_);
    auto* locationLabel = new QLabel(QStringLiteral("Location:"), this);
    location_ = new QLineEdit(this);
    location_->setObjectName(QStringLiteral("TextWD"));
    location_->setText(QDir::homePath() + QLatin1Char('/'));
    location_->setMinimumWidth(320);
    locationLabel->setBuddy(location_);
    browse_ = new QPushButton(QStringLiteral("..."), this);
    browse_->setObjectName(QStringLiteral("CommandBrs"));
    browse_->setToolTip(QStringLiteral("Choose the folder that will hold the project"));

    QHBoxLayout* buttons = ConfirmCancelRow(this);

    auto* fields = new QGridLayout;
    fields->addWidget(nameLabel, 0, 0);
    fields->addWidget(name_, 0, 1, 1, 2);
    fields->addWidget(locationLabel, 1, 0);
    fields->addWidget(location_, 1, 1);
    fields->addWidget(browse_, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(browse_, &QPushButton::clicked, this, &FormNewProject::Browse);
}

void FormNewProject::Browse() {
    // A cancelled browse leaves the location empty.
    location_->setText(main_.Context().ui.ChooseFolder(this, QStringLiteral("Please Choose a path"),
                                                       location_->text()));
}

void FormNewProject::Confirm() {
    NewProjectDraft draft{ToCore(name_->text()), ToCore(location_->text())};
    ProjectRecord created;
    CommandOutcome outcome = NewProject(draft, main_.Context().system, created);
    name_->setText(FromCore(draft.name));
    location_->setText(FromCore(draft.location));
    if (outcome.refusal) {
        ShowRefusal(main_.Context().ui, this, *outcome.refusal);
        FocusRefusedField(this, outcome.refusal->field);
        return;
    }
    if (!outcome.status) {
        ShowFailure(main_.Context().ui, this, FromCore(outcome.status.message()));
        return;
    }
    main_.SetProject(created);
    accept();
}

} // namespace kestrel
