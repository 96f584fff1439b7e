#pragma once

#include <string>

// The exit status and the standard output and error (together) of a program run.
struct ToolRun {
    int status;
    std::string out;
};

// Runs `program` with `args` (shell words).
ToolRun run_program(const std::string& program, const std::string& args);
