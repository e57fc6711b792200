// A value beside one button per built-in of one argument of the value's type,
// sorted by name. A press applies the built-in to the value as it was when the
// view was built; a function's result opens in a further extended window.
#pragma once

class QPushButton;
class QWidget;
class ZEM_object;
class ZEM_string;

QWidget* zem_extended_view(const ZEM_object& value);
// The order of the buttons: strcmp of the names.
int sortfunc(const ZEM_string& a, const ZEM_string& b);
// The work of a function button: its text names the built-in, its ZEM_OBJECT
// property holds the argument.
void am_window_do_func_proc(QPushButton* button);
// What a function button runs: its work, a failure of the built-in ending in an alert.
void am_window_do_func(QPushButton* button);
