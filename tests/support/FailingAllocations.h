#pragma once

// Allocation failures on demand, for checking that operations survive
// memory running out. Linking FailingAllocations.cpp into a test program
// replaces its operator new and delete (malloc and free underneath); they
// behave as usual until a test asks otherwise.
namespace failing_allocations {

// The allocation `ahead` calls from now (0: the next one) throws
// std::bad_alloc; the ones after it succeed again.
void fail_after(long ahead);
// No allocation fails.
void disarm();
// Whether the allocation asked for by fail_after has failed yet.
bool has_failed();
// Counts the allocations made from now on, until count() reads them.
void start_counting();
long count();

}  // namespace failing_allocations
