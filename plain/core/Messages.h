#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "core/ConsoleSink.h"
#include "core/Message.h"
#include "core/Progress.h"

class MessageSink;

// The channel through which engines, readers and writers report. Every
// report goes to each attached sink in the order they were attached. A
// default channel prints to the console; the window attaches a sink of its
// own beside it, a test builds a channel on its log alone.
//
// The window runs long operations on a worker thread, so reports may come
// from two threads: the sinks are called one report at a time. The channel
// also carries the user's request to cancel: the next progress report or
// check_cancelled() on any thread throws Cancelled until clear_cancel().
class Messages {
public:
    // Reports to the console.
    Messages();
    // Reports to `sink` alone.
    explicit Messages(MessageSink& sink);
    Messages(const Messages&) = delete;
    Messages& operator=(const Messages&) = delete;

    void attach(MessageSink& sink);
    void detach(MessageSink& sink);

    void report(const Message& message);
    // Reports on standard output.
    void info(std::string text);
    void warning(std::string text);
    void error(std::string text, std::string file = std::string(), int line = 0);
    // An error on standard error (the mesh readers' open and parse errors).
    void error_on_stderr(std::string text, std::string file = std::string(), int line = 0);

    // Passes the report to every sink, then throws Cancelled when asked to.
    void progress(const Progress& progress);
    void request_cancel() { cancel.store(true); }
    void clear_cancel() { cancel.store(false); }
    bool cancel_requested() const { return cancel.load(std::memory_order_relaxed); }
    void check_cancelled() const
    {
        if (cancel_requested()) throw Cancelled();
    }

private:
    ConsoleSink console;
    std::vector<MessageSink*> sinks;
    // Recursive: a sink may report while it is being told something.
    std::recursive_mutex lock;
    std::atomic<bool> cancel{false};
};
