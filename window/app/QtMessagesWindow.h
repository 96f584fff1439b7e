#pragma once

#include <QWidget>

#include "app/QtMessageSink.h"

class QTreeWidget;

// "Messages": every line the program reported during the run, with its
// time, its kind (info, warning, error) and the file and line it concerns.
// A window of its own beside the main window, shown from the View menu.
class QtMessagesWindow : public QWidget {
    Q_OBJECT
public:
    explicit QtMessagesWindow(QWidget* parent = nullptr);

    // The columns of `list`.
    enum Column { Time, Kind, Text, File };
    // Past this many lines the oldest go, so a long run keeps its memory.
    static constexpr int max_lines = 20000;

    QTreeWidget* list;

public slots:
    void add_line_event(const MessageLine& line);
};
