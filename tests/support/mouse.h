// Pressing widgets the way a user does: a real mouse click at the widget's
// place in its window, which reaches whatever is shown there. A widget that is
// hidden, of no size, scrolled out of reach or covered cannot be pressed.
// Include this before anything that includes QTest.
#pragma once

#ifdef QTESTMOUSE_H
#error "support/mouse.h must come before QTest"
#endif
// QTest then hands the click to the window, not straight to the widget.
#define QTEST_QPA_MOUSE_HANDLING

#include <QApplication>
#include <QScrollArea>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

// Lets the event loop show and lay out what was just added.
inline void settle() { QTest::qWait(10); }

// True when the user can see part of `widget`, scrolling its scroll area to it
// if need be; `whole`: all of it fits inside what the area can show, at least
// at its wanted size (a label's whole text).
inline bool can_be_seen(QWidget* widget, bool whole = false)
{
    settle();
    if (!widget->isVisible()) return false;
    QScrollArea* area = nullptr;
    for (QWidget* w = widget->parentWidget(); w && !area; w = w->parentWidget()) area = qobject_cast<QScrollArea*>(w);
    if (whole) {
        QWidget* inside = area ? area->widget() : widget->window();
        const QSize wanted = widget->sizeHint();
        if (widget->width() < wanted.width() || widget->height() < wanted.height() ||
            !inside->rect().contains(QRect(widget->mapTo(inside, QPoint(0, 0)), widget->size())))
            return false;
    }
    if (area) area->ensureWidgetVisible(widget, 0, 0);
    return !widget->visibleRegion().isEmpty();
}

inline void click(QWidget* widget)
{
    ASSERT_TRUE(widget);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget->window()));
    ASSERT_TRUE(can_be_seen(widget)) << widget->metaObject()->className();
    const QPoint at = widget->visibleRegion().boundingRect().center();
    QWidget* window = widget->window();
    QWidget* hit = window->childAt(widget->mapTo(window, at));
    ASSERT_TRUE(hit == widget || widget->isAncestorOf(hit)) << "covered";
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}
