// The main window: "Quit", "Tensor" and "Character" above the result deck
// (the main stacker) into which every workbench puts its results.
#pragma once

#include <string>

#include "module-misc_amulet/stacker.h"

class QObject;
class QWidget;

// Property of the "Tensor" and "Character" buttons: the main stacker.
inline constexpr const char* MAIN_STACKER = "MAIN_STACKER";

// The text after the last "/" of the program's path, else the whole path.
std::string program_name(const char* path);

// The window, titled `title`, not yet shown. Closing it, or "Quit", ends the
// event loop.
QWidget* create_main_window(const std::string& title);

// The result deck of a main window.
QWidget* main_stacker(QWidget* main_window);

// "Quit", and closing the main window from its frame: the event loop ends,
// even while workbench windows are still open. The command is not used.
void do_quit_proc(QObject* command);
// "Tensor" and "Character": a workbench on the stacker the command holds under
// MAIN_STACKER.
void do_tensor_proc(QObject* command);
void do_chartab_proc(QObject* command);
// What the buttons run: "Quit" ends the event loop, the others open their
// workbench under its failure guard.
void do_quit(QObject* command);
void do_tensor(QObject* command);
void do_chartab(QObject* command);

// The main stacker's window method: the plain object window, not the extended view.
void zarn_create_window_method_proc(const ZEM_object& value, const char* title);
inline constexpr to_window_method zarn_create_window_method = zarn_create_window_method_proc;
