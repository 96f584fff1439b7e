#include "core/AtomicFile.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes are passed to the system in pieces of this size.
constexpr std::size_t buffer_size = 1 << 20;

std::string folder_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The directory entry that points at the file is made durable too; a
// failure here cannot undo the rename, so it is not reported.
void sync_folder(const std::string& folder)
{
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

}  // namespace

AtomicFile::AtomicFile(const std::string& path) : target(path)
{
    if (path.empty()) {
        fail(ENOENT);
        return;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            fail(errno);
            return;
        }
        // A new file; a dangling link is replaced by the file itself.
        open_beside(folder_of(path), 0666);
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        fail(EISDIR);
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0) fail(errno);
        return;
    }
    // A file the user may not write stays as it is, as an in-place write
    // would have left it.
    if (::access(path.c_str(), W_OK) != 0) {
        fail(errno);
        return;
    }
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char* real = ::realpath(path.c_str(), nullptr);
        if (!real) {
            fail(errno);
            return;
        }
        target = real;
        std::free(real);
    }
    keep_mode = true;
    mode = unsigned(st.st_mode & 07777);
    owner = unsigned(st.st_uid);
    group = unsigned(st.st_gid);
    open_beside(folder_of(target), 0600);
}

AtomicFile::~AtomicFile()
{
    discard();
}

void AtomicFile::open_beside(const std::string& folder, unsigned create_mode)
{
    // Hidden and short, so that a long target name cannot make it too long.
    const unsigned long long seed = (unsigned long long)std::chrono::steady_clock::now().time_since_epoch().count() ^
                                    (unsigned long long)::getpid();
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "/.halvane-%d-%llx.tmp", int(::getpid()),
                      (seed + attempt * 7919ULL) & 0xffffffffffULL);
        temporary = folder + name;
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, create_mode);
        if (fd >= 0) return;
        if (errno != EEXIST) break;
    }
    const int error = errno;
    temporary.clear();
    fail(error);
}

void AtomicFile::write(std::string_view bytes)
{
    if (!ok()) return;
    if (buffer.size() + bytes.size() > buffer_size) {
        if (!flush()) return;
        if (bytes.size() >= buffer_size) {
            write_through(bytes.data(), bytes.size());
            return;
        }
    }
    buffer.append(bytes);
}

bool AtomicFile::flush()
{
    write_through(buffer.data(), buffer.size());
    buffer.clear();
    return ok();
}

void AtomicFile::write_through(const char* p, std::size_t left)
{
    while (left > 0 && ok()) {
        const ssize_t done = ::write(fd, p, left);
        if (done < 0) {
            if (errno != EINTR) fail(errno);
            continue;
        }
        if (done == 0) {
            fail(EIO);
            break;
        }
        p += done;
        left -= std::size_t(done);
    }
}

bool AtomicFile::commit()
{
    if (!ok() || fd < 0) {
        discard();
        return false;
    }
    if (!flush()) {
        discard();
        return false;
    }
    if (!temporary.empty()) {
        if (keep_mode) {
            ::fchmod(fd, mode_t(mode));
            // Only the superuser can give the file back to its owner; others
            // keep their own, as with any new file, and a refusal does not
            // touch the content.
            if (::geteuid() == 0) {
                [[maybe_unused]] const int given = ::fchown(fd, uid_t(owner), gid_t(group));
            }
        }
        if (::fsync(fd) != 0) {
            fail(errno);
            discard();
            return false;
        }
    }
    const int closing = fd;
    fd = -1;
    if (::close(closing) != 0) {
        fail(errno);
        discard();
        return false;
    }
    if (temporary.empty()) return true;
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        fail(errno);
        discard();
        return false;
    }
    temporary.clear();
    sync_folder(folder_of(target));
    return true;
}

void AtomicFile::fail(int error)
{
    if (problem_text.empty()) problem_text = std::strerror(error);
}

void AtomicFile::discard()
{
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    if (!temporary.empty()) {
        ::unlink(temporary.c_str());
        temporary.clear();
    }
    buffer.clear();
}

bool write_file_atomically(const std::string& path, std::string_view bytes, std::string& problem)
{
    AtomicFile file(path);
    file.write(bytes);
    const bool done = file.commit();
    problem = file.problem();
    return done;
}
