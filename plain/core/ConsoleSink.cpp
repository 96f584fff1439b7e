#include "core/ConsoleSink.h"

#include <cstdio>

#include "core/Message.h"

void ConsoleSink::report(const Message& message)
{
    std::FILE* to = message.stream == Message::Stream::Err ? stderr : stdout;
    std::fwrite(message.text.data(), 1, message.text.size(), to);
    std::fflush(to);
}
