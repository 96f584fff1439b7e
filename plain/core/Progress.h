#pragma once

#include <exception>
#include <string>

// How far a long operation has come: `done` of `total` items of the stage
// named. `console` is what the console shows for this report (the
// smoother's text bar); most stages show nothing there and are seen only by
// listeners that draw progress themselves, such as the window.
struct Progress {
    std::string stage;
    long long done = 0;
    long long total = 0;
    std::string console;
};

// Thrown from a progress report or a check of the channel once the user has
// asked to cancel. The document's operation catches it and leaves
// everything as it was before the operation.
class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};
