#pragma once

#include "core/MessageSink.h"

// Prints each report's text as it stands on its stream (standard output or
// standard error) and flushes, so the console reads as the program's
// designed lines in the order they were reported. Of progress it prints only
// the console text a report carries (the smoother's bar).
class ConsoleSink : public MessageSink {
public:
    void report(const Message& message) override;
    void progress(const Progress& progress) override;
};
