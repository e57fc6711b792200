// The generic view of any value: its printed form, one plain-text label per line.
#pragma once

class QWidget;
class ZEM_object;

QWidget* generic_view(const ZEM_object& value);

// Makes ZEM_object::create_view build generic views; the program and the widget
// tests call it once before the first view.
void install_views();
