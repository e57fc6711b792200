// What every window of the program shares: gray for windows, bars and buttons,
// white inside scrolling areas and valid inputs, red for invalid ones, and one
// guard that keeps the system's failures out of Qt's event loop.
#pragma once

#include <QColor>
#include <exception>
#include <string>

#include "module-object/error.h"
#include "module-object/string.h"

class QPushButton;
class QScrollArea;
class QWidget;

inline const QColor motif_gray(190, 190, 190);
inline const QColor white(255, 255, 255);

void set_fill(QWidget* widget, const QColor& color);

// A text input is white while its text is valid, red otherwise.
void show_validity_colour(QWidget* input, bool valid);

// Every top-level window of the program: titled, with the same icon title,
// gray, and deleted when closed.
void set_up_window(QWidget* window, const QString& title);

// A gray button that never acts as a dialog's default; `width` pixels wide
// unless 0.
QPushButton* gray_button(const QString& label, int width = 0);

// A scrolling area whose inner area is exactly as large as `view` (taken over),
// white inside.
QScrollArea* scrolling_area(QWidget* view);

// Runs a button's work; a failure of the system ends the work in an alert, after
// a beep when `beeping`, and leaves the window usable.
template <class Work>
void showing_failures(Work&& work, bool beeping = false)
{
    try {
        work();
    } catch (const ZEM_string& failure) {
        if (beeping) beep();
        message(failure);
    } catch (const std::exception& failure) {
        if (beeping) beep();
        message(failure.what());
    }
}
