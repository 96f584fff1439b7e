#pragma once

struct Message;

// A listener on a message channel: the console, a test's log, the window.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void report(const Message& message) = 0;
};
