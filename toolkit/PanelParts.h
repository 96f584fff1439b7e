#pragma once

class QBoxLayout;
class QSlider;
class QWidget;

// Parts shared by the tool panels.

// A panel's slider: horizontal, ticks below, tracking on.
QSlider* panel_slider(QWidget* parent, const char* name, int low, int high, int page_step, int value,
                      int tick_interval);

// The one group box of a panel that holds all its controls, laid out top to
// bottom in "smoothertab_blayout" (margin 10, spacing 10, stretch 10).
// Returns the group's own layout; add the controls to it, made with the
// layout's widget as their parent.
QBoxLayout* panel_group(QWidget* panel);
