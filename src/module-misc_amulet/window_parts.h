// What every window of the program shares: gray for windows, bars and buttons,
// white inside scrolling areas and valid inputs, red for invalid ones, and one
// guard that keeps the system's failures out of Qt's event loop.
#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <exception>
#include <optional>
#include <string>

#include "module-object/error.h"
#include "module-object/string.h"

class QPushButton;
class QScrollArea;
class QWidget;

inline const QColor motif_gray(190, 190, 190);
inline const QColor white(255, 255, 255);
inline const QColor invalid_red(255, 0, 0);

void set_fill(QWidget* widget, const QColor& color);

// Puts `partner` into `object`'s slot `key`: windows and commands find their
// partners by these names. Reading it gives null when the slot holds none or
// the partner has gone.
void set_partner(QObject* object, const char* key, QObject* partner);
template <class Partner>
Partner* partner(const QObject& object, const char* key)
{
    return qobject_cast<Partner*>(object.property(key).value<QPointer<QObject>>().data());
}

// Keeps `follower`'s slot `key` equal to `source`'s, now and after every
// change of it, as long as both live: a slot that is a formula reading another
// object's slot.
void follow_slot(QObject* follower, const char* key, QObject* source);

// A command's label: a button's text, or a pop-up entry's.
std::string label_of(const QObject& command);
// A text input's text; empty for anything else.
std::string text_of(const QObject& input);

// The colour behind a text input's text: white while it is valid, `invalid_red` otherwise.
void set_base_colour(QWidget* input, const QColor& colour);

// Every top-level window of the program: titled, with the same icon title,
// gray, and deleted when closed.
void set_up_window(QWidget* window, const QString& title);

// A gray button that never acts as a dialog's default; `width` pixels wide
// unless 0.
QPushButton* gray_button(const QString& label, int width = 0);

// A scrolling area around `view` (taken over), white inside. Its layout decides
// the inner area's size, at least the visible part, and every change of it
// (rows added, a page shown) resizes the inner area and its scroll bars.
QScrollArea* scrolling_area(QWidget* view);

// Shows `shape` over every window while it lives: the wait cursor while a
// button's work runs, the arrow while a modal question inside it is open
// (`only_over_another`: a question outside any work keeps the cursor it has).
class cursor_shown {
public:
    explicit cursor_shown(Qt::CursorShape shape, bool only_over_another = false);
    ~cursor_shown();
    cursor_shown(const cursor_shown&) = delete;
    cursor_shown& operator=(const cursor_shown&) = delete;

private:
    bool pushed_;
};

// A button's work may take time; an input check, run at every keystroke, is
// quick and leaves the cursor alone.
enum class work_kind { may_take_time, quick };

// Runs work, under the wait cursor unless it is quick; a failure of the
// system (an allocation that fails as "out of memory") ends the work in an
// alert, after a beep when `beeping`, shown with the cursor restored, and
// leaves the window usable.
template <class Work>
void showing_failures(Work&& work, bool beeping = false, work_kind kind = work_kind::may_take_time)
{
    std::string kept;
    const char* failure = nullptr;
    try {
        std::optional<cursor_shown> waiting;
        if (kind == work_kind::may_take_time) waiting.emplace(Qt::WaitCursor);
        failing_as_out_of_memory(work);
        return;
    } catch (const ZEM_string& thrown) {
        failure = failure_text(kept, thrown.c_str());
    } catch (const std::exception& thrown) {
        failure = failure_text(kept, thrown.what());
    }
    // What failed may have left no room for the beep and the alert.
    const alert_room room;
    if (beeping) beep();
    message(failure);
}
