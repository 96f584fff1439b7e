#pragma once

#include <string>
#include <vector>

#include "core/Message.h"
#include "core/MessageSink.h"
#include "core/Progress.h"

// A sink that keeps every report, for tests and for callers that show the
// reports later. out() and err() are what the console would have shown on
// each stream. A progress report's console text joins the messages as the
// console would have shown it; every progress report is kept in `stages`.
class MessageLog : public MessageSink {
public:
    std::vector<Message> messages;
    std::vector<Progress> stages;

    void report(const Message& message) override;
    void progress(const Progress& progress) override;
    void clear();
    std::string out() const;
    std::string err() const;
    // The reports of one severity, in order.
    std::vector<Message> of(Message::Severity severity) const;
};
