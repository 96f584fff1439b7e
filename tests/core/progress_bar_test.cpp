#include <gtest/gtest.h>

#include "core/ProgressBar.h"
#include "tests/support/Printed.h"

TEST(ProgressBar, ElevenBarsForAHundredItemsNoneForSkippedSteps)
{
    Captured out;
    ProgressBar bar;
    std::string expected;
    for (int shown = 1; shown <= 11; ++shown)
        expected +=
            "\r\rProgress = [" + std::string(shown - 1, '*') + std::string(shown <= 10 ? 10 - shown : 0, ' ') + "]";
    EXPECT_EQ(printed(out,
                      [&] {
                          for (int i = 0; i <= 100; ++i) bar.update(float(i), 100.0f, out);
                      }),
              expected);

    const std::string first = "\r\rProgress = [         ]";
    EXPECT_EQ(printed(out,
                      [&] {
                          for (int i = 0; i < 4; ++i) bar.update(float(i), 4.0f, out);  // step 0: only done = 0 draws
                          bar.update(0.0f, 0.0f, out);
                      }),
              first);
    // Step 3: 0 then 6, 12, ... never a multiple of 3 met exactly.
    EXPECT_EQ(printed(out,
                      [&] {
                          for (int i = 0; i <= 30; i += 2) bar.update(float(i), 30.0f, out);
                      }),
              first);
}
