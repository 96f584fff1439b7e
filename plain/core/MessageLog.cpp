#include "core/MessageLog.h"

namespace {

std::string joined(const std::vector<Message>& messages, Message::Stream stream)
{
    std::string text;
    for (const Message& m : messages)
        if (m.stream == stream) text += m.text;
    return text;
}

}  // namespace

void MessageLog::report(const Message& message)
{
    messages.push_back(message);
}

void MessageLog::progress(const Progress& progress)
{
    stages.push_back(progress);
    if (!progress.console.empty())
        messages.push_back(Message{Message::Severity::Info, progress.console, {}, 0, Message::Stream::Out});
}

void MessageLog::clear()
{
    messages.clear();
    stages.clear();
}

std::string MessageLog::out() const
{
    return joined(messages, Message::Stream::Out);
}

std::string MessageLog::err() const
{
    return joined(messages, Message::Stream::Err);
}

std::vector<Message> MessageLog::of(Message::Severity severity) const
{
    std::vector<Message> found;
    for (const Message& m : messages)
        if (m.severity == severity) found.push_back(m);
    return found;
}
