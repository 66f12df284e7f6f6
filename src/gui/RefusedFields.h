#pragma once
// Where a window puts the user after a refusal: the control that holds the refused input.
#include "project/InputRefusal.h"

#include <QString>

class QWidget;

namespace kestrel {

// The object name of the control that holds `field` in the window that asks for it;
// empty for RefusedField::None.
QString RefusedFieldControl(RefusedField field);

// The tab of the Code Generation Settings window that holds `field`, -1 for none.
int CodeSettingsTabOf(RefusedField field);

// Gives the focus to the control of the refused input, when `window` has it.
void FocusRefusedField(QWidget* window, RefusedField field);

} // namespace kestrel
