#pragma once
// Small widget makers shared by the windows.
#include <QPushButton>
#include <QString>

namespace kestrel {

// A push button with its object name (the name tests and the window's code find it by)
// and its caption.
inline QPushButton* NamedButton(const char* objectName, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

} // namespace kestrel
