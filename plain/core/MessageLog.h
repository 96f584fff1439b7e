#pragma once

#include <string>
#include <vector>

#include "core/Message.h"
#include "core/MessageSink.h"

// A sink that keeps every report, for tests and for callers that show the
// reports later. out() and err() are what the console would have shown on
// each stream.
class MessageLog : public MessageSink {
public:
    std::vector<Message> messages;

    void report(const Message& message) override;
    void clear();
    std::string out() const;
    std::string err() const;
    // The reports of one severity, in order.
    std::vector<Message> of(Message::Severity severity) const;
};
