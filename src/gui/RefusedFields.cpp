// The controls of the refused inputs, by the object names the windows give them.
#include "RefusedFields.h"

#include <QWidget>

namespace kestrel {

QString RefusedFieldControl(RefusedField field) {
    switch (field) {
    case RefusedField::None: return {};
    case RefusedField::ProjectName: return QStringLiteral("TextPName");
    case RefusedField::ProjectLocation: return QStringLiteral("CommandBrs");
    case RefusedField::FunctionName: return QStringLiteral("TextFName");
    case RefusedField::ParameterName: return QStringLiteral("TextPName");
    case RefusedField::ParameterType: return QStringLiteral("ComboParaType");
    case RefusedField::SignalName: return QStringLiteral("TextSName");
    case RefusedField::SignalInitValue: return QStringLiteral("TextIV");
    case RefusedField::GenerationMethod: return QStringLiteral("OptionMethod1");
    case RefusedField::SetupTime: return QStringLiteral("TextSetup");
    case RefusedField::SetupUnit: return QStringLiteral("ComboSetup");
    case RefusedField::ClockPeriod: return QStringLiteral("TextPeriod");
    case RefusedField::ClockPeriodUnit: return QStringLiteral("ComboPeriod");
    case RefusedField::MakeLibrary: return QStringLiteral("CheckLib");
    }
    return {};
}

int CodeSettingsTabOf(RefusedField field) {
    switch (field) {
    case RefusedField::GenerationMethod: return 0;
    case RefusedField::SetupTime:
    case RefusedField::SetupUnit:
    case RefusedField::ClockPeriod:
    case RefusedField::ClockPeriodUnit: return 1;
    case RefusedField::MakeLibrary: return 2;
    default: return -1;
    }
}

void FocusRefusedField(QWidget* window, RefusedField field) {
    const QString name = RefusedFieldControl(field);
    if (name.isEmpty() || !window) return;
    if (auto* control = window->findChild<QWidget*>(name)) control->setFocus();
}

} // namespace kestrel
