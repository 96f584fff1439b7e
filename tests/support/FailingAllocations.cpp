#include "tests/support/FailingAllocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> countdown{-1};  // allocations before the failing one; -1 when none fails
std::atomic<bool> failed{false};
std::atomic<bool> counting{false};
std::atomic<long> counted{0};

void* allocate(std::size_t size)
{
    if (counting.load(std::memory_order_relaxed)) counted.fetch_add(1, std::memory_order_relaxed);
    if (countdown.load(std::memory_order_relaxed) >= 0 && countdown.fetch_sub(1) == 0) {
        failed = true;
        throw std::bad_alloc();
    }
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

}  // namespace

#include "core/replaced_operator_new.h"

namespace failing_allocations {

void fail_after(long ahead)
{
    failed = false;
    countdown = ahead;
}

void disarm()
{
    countdown = -1;
}

bool has_failed()
{
    return failed;
}

void start_counting()
{
    counted = 0;
    counting = true;
}

long count()
{
    counting = false;
    return counted;
}

}  // namespace failing_allocations
