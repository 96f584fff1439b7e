#include "core/text_file.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>

#include "core/memory_limits.h"
#include "core/Messages.h"
#include "core/Vector.h"

bool read_text_file(const std::string& path, std::string& text, std::string* problem)
{
    auto fail = [problem](const char* why) {
        if (problem) *problem = why;
        return false;
    };
    if (problem) problem->clear();
    text.clear();
    // A directory opens on some systems and reports a nonsense size.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status)) return fail("is a directory");
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return fail(std::strerror(errno));
    bool ok = true;
    try {
        // A regular file is read in one piece straight into the string; the
        // loop below takes whatever is left (a file that grew, a pipe).
        if (std::filesystem::is_regular_file(status)) {
            const std::uintmax_t size = std::filesystem::file_size(path, ec);
            if (!ec && size > 0) {
                if (size >= usable_memory()) {
                    std::fclose(f);
                    return fail("is larger than the memory this process may use");
                }
                text.resize(std::size_t(size));
                text.resize(std::fread(text.data(), 1, text.size(), f));
            }
        }
        char buffer[1 << 16];
        for (;;) {
            const std::size_t got = std::fread(buffer, 1, sizeof buffer, f);
            text.append(buffer, got);
            if (got < sizeof buffer) {
                ok = !std::ferror(f);
                break;
            }
        }
    } catch (const std::exception&) {  // bad_alloc or length_error from the string
        std::fclose(f);
        std::string().swap(text);
        return fail("is larger than the memory free to hold it");
    }
    std::fclose(f);
    if (!ok) return fail("could not be read");
    return true;
}

bool read_text_file_or_report(const std::string& path, std::string& text, const char* prefix, Messages& out)
{
    std::string why;
    if (read_text_file(path, text, &why)) return true;
    out.error_on_stderr(prefix + path + " (" + why + ")\n", path);
    return false;
}

std::string file_error_line(const std::string& designed, const std::string& path, const std::string& reason)
{
    return designed + " " + path + ": " + reason + "\n";
}

void append_float(std::string& out, float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void append_xyz(std::string& out, const Vector& v)
{
    append_float(out, v.x);
    out += ' ';
    append_float(out, v.y);
    out += ' ';
    append_float(out, v.z);
}

std::string float_text(float value)
{
    std::string s;
    append_float(s, value);
    return s;
}
