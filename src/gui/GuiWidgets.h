#pragma once
// Small widget makers and visual constants shared by the windows.
#include <QColor>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QString>

namespace kestrel {

// Library rows (functions and signals that came with an imported library) are drawn in
// light blue.
inline QColor LibraryRowColour() {
    return QColor(0x80, 0x80, 0xFF);
}

// A new widget with its object name (the name tests and the window's code find it by).
template <class Widget> Widget* NamedWidget(const char* objectName, QWidget* parent = nullptr) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}

// A push button with its object name (the name tests and the window's code find it by)
// and its caption.
inline QPushButton* NamedButton(const char* objectName, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

// The row of OK (the default button) and Cancel at a window's foot, aligned right.
inline QHBoxLayout* OkCancelRow(QWidget* window, QPushButton*& ok, QPushButton*& cancel) {
    ok = NamedButton("CommandOK", "OK", window);
    ok->setDefault(true);
    cancel = NamedButton("CommandCancel", "Cancel", window);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

// The row of OK and Cancel of a window whose OK runs its Confirm; Cancel rejects it.
template <class Window> QHBoxLayout* ConfirmCancelRow(Window* window) {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QHBoxLayout* row = OkCancelRow(window, ok, cancel);
    QObject::connect(ok, &QPushButton::clicked, window, &Window::Confirm);
    QObject::connect(cancel, &QPushButton::clicked, window, &QDialog::reject);
    return row;
}

} // namespace kestrel
