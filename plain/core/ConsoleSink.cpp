#include "core/ConsoleSink.h"

#include <cstdio>

#include "core/Message.h"
#include "core/Progress.h"

namespace {

void print(const std::string& text, std::FILE* to)
{
    std::fwrite(text.data(), 1, text.size(), to);
    std::fflush(to);
}

}  // namespace

void ConsoleSink::report(const Message& message)
{
    print(message.text, message.stream == Message::Stream::Err ? stderr : stdout);
}

void ConsoleSink::progress(const Progress& progress)
{
    if (!progress.console.empty()) print(progress.console, stdout);
}
