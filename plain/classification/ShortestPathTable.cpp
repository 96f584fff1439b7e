#include "classification/ShortestPathTable.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "core/AtomicFile.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Floats go through this many at a time, as explicit little-endian bytes.
constexpr std::size_t chunk = 1 << 16;

void put_le(const float* from, std::size_t count, unsigned char* to)
{
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t bits;
        std::memcpy(&bits, from + i, 4);
        to[4 * i] = static_cast<unsigned char>(bits);
        to[4 * i + 1] = static_cast<unsigned char>(bits >> 8);
        to[4 * i + 2] = static_cast<unsigned char>(bits >> 16);
        to[4 * i + 3] = static_cast<unsigned char>(bits >> 24);
    }
}

void get_le(const unsigned char* from, std::size_t count, float* to)
{
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t bits = std::uint32_t(from[4 * i]) | std::uint32_t(from[4 * i + 1]) << 8 |
                                   std::uint32_t(from[4 * i + 2]) << 16 | std::uint32_t(from[4 * i + 3]) << 24;
        std::memcpy(to + i, &bits, 4);
    }
}

// A step count the compact form holds exactly (not -0, which would come
// back as +0).
bool is_count(float d)
{
    return d >= 0.0f && d < float(ShortestPathTable::no_path) && d == float(int(d)) && !std::signbit(d);
}

}  // namespace

double ShortestPathTable::bytes_for(int faces, bool counts)
{
    return double(entries_for(faces)) * (counts && can_be_compact(faces) ? 2.0 : 4.0);
}

void ShortestPathTable::allocate(int faces, bool counts)
{
    release();
    n = faces;
    entries = entries_for(faces);
    compact = counts && can_be_compact(faces);
    if (compact)
        steps.assign(std::size_t(entries), 0);
    else
        dist.assign(std::size_t(entries), 0.0f);
}

void ShortestPathTable::release()
{
    std::vector<float>().swap(dist);
    std::vector<std::uint16_t>().swap(steps);
    n = 0;
    entries = 0;
    compact = false;
}

void ShortestPathTable::set(int a, int b, float d)
{
    const std::size_t i = std::size_t(index(a, b));
    if (compact) {
        if (d == unreachable) {
            steps[i] = no_path;
            return;
        }
        if (is_count(d)) {
            steps[i] = std::uint16_t(d);
            return;
        }
        widen();
    }
    dist[i] = d;
}

void ShortestPathTable::widen()
{
    if (!compact) return;
    std::vector<float> wide(steps.size());
    std::transform(steps.begin(), steps.end(), wide.begin(), decode);
    dist.swap(wide);
    std::vector<std::uint16_t>().swap(steps);
    compact = false;
}

std::vector<float> ShortestPathTable::floats() const
{
    if (!compact) return dist;
    std::vector<float> out(steps.size());
    std::transform(steps.begin(), steps.end(), out.begin(), decode);
    return out;
}

ShortestPathTable::FileResult ShortestPathTable::write(const std::string& path) const
{
    AtomicFile file(path);
    if (!file.ok()) return {FileResult::NotOpened, file.problem()};
    std::vector<unsigned char> bytes(4 * chunk);
    std::vector<float> wide(compact ? chunk : 0);
    const std::size_t total = std::size_t(entries);
    for (std::size_t at = 0; at < total && file.ok(); at += chunk) {
        const std::size_t count = std::min(chunk, total - at);
        const float* from = dist.data() + (compact ? 0 : at);
        if (compact) {
            std::transform(steps.begin() + std::ptrdiff_t(at), steps.begin() + std::ptrdiff_t(at + count), wide.begin(),
                           decode);
            from = wide.data();
        }
        put_le(from, count, bytes.data());
        file.write(bytes.data(), 4 * count);
    }
    if (!file.commit()) return {FileResult::Failed, file.problem()};
    return {};
}

ShortestPathTable::FileResult ShortestPathTable::read(const std::string& path, int faces, ShortestPathTable& into)
{
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return {FileResult::NotOpened, std::strerror(errno)};
    auto failed = [](std::string problem) { return FileResult{FileResult::Failed, std::move(problem)}; };
    const std::int64_t want = entries_for(faces);
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return failed("cannot find the file's size");
    const long size = std::ftell(f.get());
    if (size < 0) return failed("cannot find the file's size");
    if (std::int64_t(size) != 4 * want)
        return failed(std::to_string(size) + " bytes, but the table of a mesh of " + std::to_string(faces) +
                      " faces takes " + std::to_string(4 * want) + " bytes");
    std::rewind(f.get());

    // Read as step counts while every value is one, as floats from the
    // first value that is not.
    ShortestPathTable fresh;
    fresh.allocate(faces, true);
    std::vector<unsigned char> bytes(4 * chunk);
    std::vector<float> values(chunk);
    for (std::size_t at = 0; at < std::size_t(want); at += chunk) {
        const std::size_t count = std::min(chunk, std::size_t(want) - at);
        if (std::fread(bytes.data(), 4, count, f.get()) != count) return failed("read failed");
        get_le(bytes.data(), count, values.data());
        for (std::size_t i = 0; i < count && fresh.compact; ++i) {
            const float d = values[i];
            if (d == unreachable)
                fresh.steps[at + i] = no_path;
            else if (is_count(d))
                fresh.steps[at + i] = std::uint16_t(d);
            else
                fresh.widen();
        }
        if (!fresh.compact) std::copy(values.begin(), values.begin() + std::ptrdiff_t(count), fresh.dist.begin() + at);
    }
    for (int a = 0; a < faces; ++a)
        for (int b = 0; b <= a; ++b) {
            const float d = fresh.get(a, b);
            if (!(d >= 0.0f) || (b == a && d != 0.0f))
                return failed("float " + std::to_string(row_start(a) + b) + ", the distance of faces " +
                              std::to_string(b) + " and " + std::to_string(a) + ", is " + std::to_string(d) +
                              ": not a distance table");
        }
    into = std::move(fresh);
    return {};
}
