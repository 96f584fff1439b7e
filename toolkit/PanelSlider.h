#pragma once

class QSlider;
class QWidget;

// A tool panel's slider: horizontal, ticks below, tracking on.
QSlider* panel_slider(QWidget* parent, const char* name, int low, int high, int page_step, int value,
                      int tick_interval);
