// The benchmarks press the windows' buttons as the user does: found by label.
#pragma once

#include <QAbstractButton>
#include <QWidget>

inline QAbstractButton* button_labelled(const QWidget* window, const char* label)
{
    for (auto* button : window->findChildren<QAbstractButton*>())
        if (button->text() == label) return button;
    return nullptr;
}
