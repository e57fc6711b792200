// Top-level windows on one value; each returns at once and the window lives by
// itself until it is closed. Neither keeps the value: the views are built from
// it at once, and the extended view keeps a copy of its own for its buttons.
#pragma once

class ZEM_object;

// The value's view in a scrolling area, with a "Close" button under it.
void zarn_object_window(const ZEM_object& value, const char* title);
// A menu "Window" with "Close" (Ctrl+Q) over the value's extended view.
void zem_object_window(const ZEM_object& value, const char* title);
