// Top-level windows on one value; each returns at once and the window lives by
// itself until it is closed. Neither keeps the value: the views are built from
// it at once, and the extended view keeps a copy of its own for its buttons.
#pragma once

class QObject;
class ZEM_object;

// Property of the plain window's "Close" button: the window it closes.
inline constexpr const char* ZARN_OBJECT_WINDOW = "ZARN_OBJECT_WINDOW";

// The value's view in a scrolling area, with a "Close" button under it.
void zarn_object_window(const ZEM_object& value, const char* title);
// A menu "Window" with "Close" (Ctrl+Q) over the value's extended view.
void zem_object_window(const ZEM_object& value, const char* title);

// "Close" of the plain window: closes, and so deletes, the window its command
// holds under ZARN_OBJECT_WINDOW.
void do_close_zarn_window_proc(QObject* command);
// "Close" of the extended window: closes the window that owns the command,
// when there are both.
void do_close_proc(QObject* command);
// What the button and the menu entry run.
void do_close_zarn_window(QObject* command);
void do_close(QObject* command);
