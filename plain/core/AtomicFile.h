#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A file that is replaced whole or not at all. Every writer of the program
// writes through one, so a failed save never destroys the file it was to
// replace.
//
// The bytes go to a new hidden file beside the target (same folder, so the
// rename cannot cross file systems). commit() writes what is buffered,
// flushes the file to the disk, closes it, checking each step, and renames
// it over the target; the replaced file's permissions carry over. Until
// then, and after any failure, the target is untouched, and a file that was
// not committed is removed when the object goes. A symbolic link is
// followed: the file it points to is replaced, the link stays.
//
// A target that exists and is not a regular file (a device such as
// /dev/null or /dev/full, a pipe) cannot be replaced; it is written in place
// with the same checks.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False once anything failed; problem() then gives the system's reason
    // ("No space left on device", "Permission denied").
    bool ok() const { return problem_text.empty(); }
    const std::string& problem() const { return problem_text; }

    // Appends bytes (buffered); does nothing after a failure.
    void write(std::string_view bytes);
    void write(const void* data, std::size_t size) { write(std::string_view(static_cast<const char*>(data), size)); }
    // Completes the file and puts it in place; false (with problem() set and
    // the target untouched) when any step failed.
    bool commit();

private:
    void open_beside(const std::string& folder, unsigned mode);
    bool flush();
    void write_through(const char* bytes, std::size_t size);
    void fail(int error);
    void discard();

    std::string target;     // the path replaced, links resolved
    std::string temporary;  // empty when writing in place
    std::string buffer;
    int fd = -1;
    bool keep_mode = false;  // the target existed: give the new file its mode and owner
    unsigned mode = 0;
    unsigned owner = 0, group = 0;
    std::string problem_text;
};

// Writes `bytes` as the whole content of `path` through an AtomicFile;
// false with the system's reason in `problem`.
bool write_file_atomically(const std::string& path, std::string_view bytes, std::string& problem);
