#include "core/Messages.h"

#include <algorithm>
#include <utility>

Messages::Messages() : sinks{&console} {}

Messages::Messages(MessageSink& sink) : sinks{&sink} {}

void Messages::attach(MessageSink& sink)
{
    if (std::find(sinks.begin(), sinks.end(), &sink) == sinks.end()) sinks.push_back(&sink);
}

void Messages::detach(MessageSink& sink)
{
    sinks.erase(std::remove(sinks.begin(), sinks.end(), &sink), sinks.end());
}

void Messages::report(const Message& message)
{
    for (MessageSink* sink : sinks) sink->report(message);
}

void Messages::info(std::string text)
{
    report(Message{Message::Severity::Info, std::move(text), {}, 0, Message::Stream::Out});
}

void Messages::warning(std::string text)
{
    report(Message{Message::Severity::Warning, std::move(text), {}, 0, Message::Stream::Out});
}

void Messages::error(std::string text, std::string file, int line)
{
    report(Message{Message::Severity::Error, std::move(text), std::move(file), line, Message::Stream::Out});
}

void Messages::error_on_stderr(std::string text, std::string file, int line)
{
    report(Message{Message::Severity::Error, std::move(text), std::move(file), line, Message::Stream::Err});
}
