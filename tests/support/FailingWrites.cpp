#include "tests/support/FailingWrites.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <sys/types.h>
#include <unistd.h>

extern "C" {
ssize_t __real_write(int fd, const void* data, std::size_t size);
int __real_fsync(int fd);
int __real_close(int fd);
int __real_rename(const char* from, const char* to);
}

namespace {

struct Plan {
    bool armed = false;
    FailingWrites::Call call = FailingWrites::Call::Write;
    int error = 0;
    std::size_t bytes_left = 0;
    int failures = 0;
};

Plan plan;

bool fails(FailingWrites::Call call)
{
    if (!plan.armed || plan.call != call) return false;
    ++plan.failures;
    errno = plan.error;
    return true;
}

}  // namespace

extern "C" ssize_t __wrap_write(int fd, const void* data, std::size_t size)
{
    if (plan.armed && plan.call == FailingWrites::Call::Write && fd > 2) {
        // Part of the bytes land, as on a device that fills up mid-file.
        if (plan.bytes_left > 0) {
            const std::size_t n = std::min(size, plan.bytes_left);
            const ssize_t done = __real_write(fd, data, n);
            if (done > 0) plan.bytes_left -= std::size_t(done);
            return done;
        }
        if (fails(FailingWrites::Call::Write)) return -1;
    }
    return __real_write(fd, data, size);
}

extern "C" int __wrap_fsync(int fd)
{
    return fails(FailingWrites::Call::Fsync) ? -1 : __real_fsync(fd);
}

extern "C" int __wrap_close(int fd)
{
    // The descriptor is released all the same, as the system does.
    if (plan.armed && plan.call == FailingWrites::Call::Close && fd > 2) {
        __real_close(fd);
        fails(FailingWrites::Call::Close);
        return -1;
    }
    return __real_close(fd);
}

extern "C" int __wrap_rename(const char* from, const char* to)
{
    return fails(FailingWrites::Call::Rename) ? -1 : __real_rename(from, to);
}

FailingWrites::FailingWrites(Call call, int error, std::size_t bytes_first)
{
    plan = Plan{true, call, error, bytes_first, 0};
}

FailingWrites::~FailingWrites()
{
    plan.armed = false;
}

int FailingWrites::failures()
{
    return plan.failures;
}
