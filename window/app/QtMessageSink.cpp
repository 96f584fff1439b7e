#include "app/QtMessageSink.h"

#include <QThread>

QtMessageSink::QtMessageSink(QObject* parent) : QObject(parent) {}

void QtMessageSink::report(const Message& message)
{
    {
        const std::lock_guard<std::mutex> lock(queue_mutex);
        queue.push_back({QDateTime::currentDateTime(), message});
    }
    if (QThread::currentThread() == thread())
        drain();
    else
        QMetaObject::invokeMethod(
            this, [this] { drain(); }, Qt::QueuedConnection);
}

void QtMessageSink::drain()
{
    std::vector<Queued> taken;
    {
        const std::lock_guard<std::mutex> lock(queue_mutex);
        taken.swap(queue);
    }
    for (const Queued& part : taken) take(part);
}

void QtMessageSink::take(const Queued& part)
{
    const Message& m = part.message;
    MessageLine& line = open[m.stream == Message::Stream::Err ? 1 : 0];
    const QString text = QString::fromLocal8Bit(m.text.data(), qsizetype(m.text.size()));
    // Each piece of text joins the open line, which takes the part's time,
    // severity and file as it goes.
    auto join = [&](const QString& piece) {
        if (piece.isEmpty()) return;
        if (line.text.isEmpty()) line.time = part.time;
        line.text += piece;
        if (int(m.severity) > int(line.severity)) line.severity = m.severity;
        if (line.file.isEmpty() && !m.file.empty()) {
            line.file = QString::fromLocal8Bit(m.file.data(), qsizetype(m.file.size()));
            line.line = m.line;
        }
    };
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != '\n' && c != '\r') continue;
        join(text.mid(from, i - from));
        from = i + 1;
        if (c == '\r') {
            // The console writes over the line: so does the window.
            line = MessageLine();
            continue;
        }
        MessageLine done = line;
        line = MessageLine();
        if (!done.text.trimmed().isEmpty()) emit line_signal(done);
    }
    join(text.mid(from));
}
