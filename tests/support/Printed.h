#pragma once

#include <gtest/gtest.h>

#include <string>

// Runs `step` with standard output captured and returns what it printed.
template <typename Step>
std::string printed(Step step)
{
    testing::internal::CaptureStdout();
    step();
    return testing::internal::GetCapturedStdout();
}
