#include "core/memory_limits.h"

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

// In a child process: 0 when, under an address-space limit of `limit`
// bytes, usable_memory() is `expected`.
void exit_with_usable_memory_under(std::size_t limit, std::size_t expected)
{
    rlimit r{};
    r.rlim_cur = r.rlim_max = limit;
    if (setrlimit(RLIMIT_AS, &r) != 0) std::exit(2);
    std::exit(usable_memory() == expected ? 0 : 1);
}

}  // namespace

TEST(MemoryLimits, UsableMemoryIsTheSmallestOfTheLimits)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers need more address space than the limit";
#endif
    const std::size_t before = usable_memory();
    EXPECT_LE(before, physical_memory());
    const std::size_t limit = std::size_t(3) << 30;
    EXPECT_EXIT(exit_with_usable_memory_under(limit, std::min(limit, before)), ::testing::ExitedWithCode(0), "");
}
