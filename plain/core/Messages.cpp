#include "core/Messages.h"

#include <algorithm>
#include <utility>

Messages::Messages() : sinks{&console} {}

Messages::Messages(MessageSink& sink) : sinks{&sink} {}

void Messages::attach(MessageSink& sink)
{
    const std::lock_guard<std::recursive_mutex> held(lock);
    if (std::find(sinks.begin(), sinks.end(), &sink) == sinks.end()) sinks.push_back(&sink);
}

void Messages::detach(MessageSink& sink)
{
    const std::lock_guard<std::recursive_mutex> held(lock);
    sinks.erase(std::remove(sinks.begin(), sinks.end(), &sink), sinks.end());
}

void Messages::report(const Message& message)
{
    const std::lock_guard<std::recursive_mutex> held(lock);
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

void Messages::progress(const Progress& progress)
{
    {
        const std::lock_guard<std::recursive_mutex> held(lock);
        for (MessageSink* sink : sinks) sink->progress(progress);
    }
    check_cancelled();
}
