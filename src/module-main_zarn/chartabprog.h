// The character-table workbench, opened by "Character" in the main window; it
// sends its results to the main window's result deck.
#pragma once

class QWidget;

void chartabprog(QWidget* stacker);
