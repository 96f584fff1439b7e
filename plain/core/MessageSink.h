#pragma once

struct Message;
struct Progress;

// A listener on a message channel: the console, a test's log, the window.
// A channel may be reported on from a worker thread: a sink is called from
// whichever thread reports, one call at a time.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void report(const Message& message) = 0;
    // Most sinks only want the lines.
    virtual void progress(const Progress&) {}
};
