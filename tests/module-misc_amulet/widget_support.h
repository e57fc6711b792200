// Finding the parts of the program's widgets the way a user sees them.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QWidget>

inline QAbstractButton* button(QWidget* owner, const QString& text)
{
    for (auto* b : owner->findChildren<QAbstractButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

// The texts of the labels under `widget`, one per line of its views.
inline QStringList lines(const QWidget* widget)
{
    QStringList texts;
    if (widget)
        for (auto* label : widget->findChildren<QLabel*>()) texts << label->text();
    return texts;
}

inline QList<QWidget*> windows_titled(const QString& title)
{
    QList<QWidget*> found;
    for (auto* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title) found << w;
    return found;
}

// Closes every window a test left open; closing deletes them.
inline void close_all_windows()
{
    for (auto* w : QApplication::topLevelWidgets())
        if (w->isVisible()) w->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
