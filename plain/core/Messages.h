#pragma once

#include <string>
#include <vector>

#include "core/ConsoleSink.h"
#include "core/Message.h"

class MessageSink;

// The channel through which engines, readers and writers report. Every
// report goes to each attached sink in the order they were attached. A
// default channel prints to the console; the window attaches a sink of its
// own beside it, a test builds a channel on its log alone. One channel is
// used from one thread at a time.
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

private:
    ConsoleSink console;
    std::vector<MessageSink*> sinks;
};
