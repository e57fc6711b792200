// The main window: "Quit", "Tensor" and "Character" above the result deck
// (the main stacker) into which every workbench puts its results.
#pragma once

#include <string>

class QWidget;

// The text after the last "/" of the program's path, else the whole path.
std::string program_name(const char* path);

// The window, titled `title`, not yet shown. Closing it, or "Quit", ends the
// event loop.
QWidget* create_main_window(const std::string& title);

// The result deck of a main window.
QWidget* main_stacker(QWidget* main_window);
