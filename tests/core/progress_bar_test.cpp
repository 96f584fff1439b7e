#include <gtest/gtest.h>

#include "core/ProgressBar.h"

TEST(ProgressBar, HundredItemsDrawElevenBars)
{
    ProgressBar bar;
    testing::internal::CaptureStdout();
    for (int i = 0; i <= 100; ++i) bar.update(float(i), 100.0f);
    const std::string out = testing::internal::GetCapturedStdout();
    std::string expected;
    for (int shown = 1; shown <= 11; ++shown)
        expected += "\r\rProgress = [" + std::string(shown - 1, '*') + std::string(shown <= 10 ? 10 - shown : 0, ' ') + "]";
    EXPECT_EQ(out, expected);
    EXPECT_EQ(out.find('\n'), std::string::npos);
}

TEST(ProgressBar, ZeroStepAndSkippedCounts)
{
    ProgressBar bar;
    testing::internal::CaptureStdout();
    for (int i = 0; i < 4; ++i) bar.update(float(i), 4.0f);  // step 0: only done = 0 draws
    bar.update(0.0f, 0.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\r\rProgress = [         ]");

    testing::internal::CaptureStdout();
    for (int i = 0; i <= 30; i += 2) bar.update(float(i), 30.0f);  // step 3: 0 then 6, 12, ... never 3
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\r\rProgress = [         ]");
}
