#pragma once

#include <QString>

class ButtonGroup;
class QLabel;
class QLayout;
class QSlider;
class QWidget;

// Parts shared by the tool panels.

// A panel's slider: horizontal, ticks below, tracking on.
QSlider* panel_slider(QWidget* parent, const char* name, int low, int high, int page_step, int value,
                      int tick_interval);

// A slider's label and the slider side by side, the labels of a panel in
// one column.
QLayout* slider_row(QLabel* label, QSlider* slider);

// A number as labels and the view's legend show it: at most `digits`
// significant digits, without the float's noise ("0.0075", not "0.00749999").
QString rounded(double value, int digits = 4);

// The one group of a panel that holds all its controls in a column, placed
// in the panel's layout "smoothertab_blayout" (top to bottom, margin 10,
// spacing 10, stretch 10). Make the controls with the group as parent and
// add them to it in order.
ButtonGroup* panel_group(QWidget* panel);
