#pragma once

#include <mutex>
#include <vector>

#include <QDateTime>
#include <QObject>
#include <QString>

#include "core/Message.h"
#include "core/MessageSink.h"

// One whole console line as the window shows it.
struct MessageLine {
    QDateTime time;  // when its first part was reported
    Message::Severity severity = Message::Severity::Info;
    QString text;  // without the line end
    QString file;  // empty when none
    int line = 0;  // 0 when none
};

// The window's listener on the message channel, beside the console. Reports
// may leave a line open ("BUILDING: " and the flag names after it) or redraw
// it after a carriage return (the progress bar); the sink joins them into
// whole lines, one per stream, and emits each line that is not blank. A line
// takes the gravest severity and the first file of its parts.
//
// Reports may come from any thread: they are queued and the lines emitted on
// the sink's own thread.
class QtMessageSink : public QObject, public MessageSink {
    Q_OBJECT
public:
    explicit QtMessageSink(QObject* parent = nullptr);

    void report(const Message& message) override;

signals:
    void line_signal(const MessageLine& line);

private:
    struct Queued {
        QDateTime time;
        Message message;
    };
    // Emits the lines of everything queued, in the order reported.
    void drain();
    void take(const Queued& part);

    std::mutex queue_mutex;
    std::vector<Queued> queue;
    MessageLine open[2];  // the line still open on standard output and on standard error
};
