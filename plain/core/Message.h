#pragma once

#include <string>

// One report from an engine, a reader or a writer. `text` is exactly what
// the console shows, line ends included: a report may leave its line open
// ("BUILDING: " and the flag names after it) or start with a line end.
struct Message {
    enum class Severity { Info, Warning, Error };
    // The console stream the text belongs on: the mesh readers' open and
    // parse errors go to standard error, everything else to standard output.
    enum class Stream { Out, Err };

    Severity severity = Severity::Info;
    std::string text;
    std::string file;  // the file concerned, empty when none
    int line = 0;      // the line in that file, 0 when none
    Stream stream = Stream::Out;
};
