#pragma once

#include <string>

class Messages;

// Progress of one stage of a long operation, reported on a channel about
// `steps` times from start to end rather than at every item. Every call
// checks for cancellation (one atomic read), so an engine calls at() in its
// outer loop and stops with Cancelled when the user asked.
class StageProgress {
public:
    StageProgress(Messages& out, std::string stage, long long total, int steps = 200);
    // `done` items of the stage are finished.
    void at(long long done);

private:
    Messages& out;
    std::string stage;
    long long total;
    long long step;
    long long next_at = 0;
};
