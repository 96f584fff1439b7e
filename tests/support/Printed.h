#pragma once

#include <string>

#include "core/MessageLog.h"
#include "core/Messages.h"

// A message channel for a test: everything reported on it is kept in `log`
// instead of going to the console. Passes wherever a Messages& is asked for.
struct Captured {
    MessageLog log;
    Messages channel{log};

    operator Messages&() { return channel; }
};

// Runs `step` and returns what it reported on `log` for standard output,
// as the console would have shown it.
template <typename Step>
std::string printed(MessageLog& log, Step step)
{
    const std::size_t before = log.messages.size();
    step();
    std::string text;
    for (std::size_t i = before; i < log.messages.size(); ++i)
        if (log.messages[i].stream == Message::Stream::Out) text += log.messages[i].text;
    return text;
}

template <typename Step>
std::string printed(Captured& captured, Step step)
{
    return printed(captured.log, step);
}

// The same for standard error.
template <typename Step>
std::string printed_err(Captured& captured, Step step)
{
    const std::size_t before = captured.log.messages.size();
    step();
    std::string text;
    for (std::size_t i = before; i < captured.log.messages.size(); ++i)
        if (captured.log.messages[i].stream == Message::Stream::Err) text += captured.log.messages[i].text;
    return text;
}
