#pragma once

#include <cstddef>

// A seam under every writer of the program: AtomicFile makes its system
// calls (write, fsync, close, rename) through the names the linker resolves,
// and a test program linked with the failing_writes library has them
// wrapped (-Wl,--wrap), so a test can make one of them fail as a full
// device, a broken disk or a lost connection would. Calls pass through
// untouched while no FailingWrites object lives.
class FailingWrites {
public:
    enum class Call { Write, Fsync, Close, Rename };

    // The first `call` after `bytes_first` bytes have been written (for
    // Write; the others fail at once) fails with `error`, and every later
    // one of the same kind too.
    FailingWrites(Call call, int error, std::size_t bytes_first = 0);
    ~FailingWrites();
    FailingWrites(const FailingWrites&) = delete;
    FailingWrites& operator=(const FailingWrites&) = delete;

    // How many calls were made to fail.
    static int failures();
};
