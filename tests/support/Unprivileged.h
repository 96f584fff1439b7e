#pragma once

#include <functional>
#include <string>

class Messages;

// What a step run in a child process gave back.
struct ChildRun {
    bool ran = false;     // the child ran the step to its end
    bool result = false;  // what the step returned
    std::string printed;  // what it reported on its channel, both streams
};

// Runs `step` in a child process without the superuser's rights: when the
// tests run as root (as CI does), the child becomes the user "nobody"
// first, so a folder or file without write permission refuses it as it
// refuses any user. Files the child is to reach must be open to others.
ChildRun run_without_privileges(const std::function<bool(Messages&)>& step);
