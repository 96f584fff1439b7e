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

}  // namespace

void ShortestPathTable::allocate(int faces)
{
    release();
    n = faces;
    entries = entries_for(faces);
    dist.assign(std::size_t(entries), 0.0f);
}

void ShortestPathTable::release()
{
    std::vector<float>().swap(dist);
    n = 0;
    entries = 0;
}

ShortestPathTable::FileResult ShortestPathTable::write(const std::string& path) const
{
    AtomicFile file(path);
    if (!file.ok()) return {FileResult::NotOpened, file.problem()};
    std::vector<unsigned char> bytes(4 * chunk);
    for (std::size_t at = 0; at < dist.size() && file.ok(); at += chunk) {
        const std::size_t count = std::min(chunk, dist.size() - at);
        put_le(dist.data() + at, count, bytes.data());
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

    ShortestPathTable fresh;
    fresh.n = faces;
    fresh.entries = want;
    fresh.dist.resize(std::size_t(want));
    std::vector<unsigned char> bytes(4 * chunk);
    for (std::size_t at = 0; at < fresh.dist.size(); at += chunk) {
        const std::size_t count = std::min(chunk, fresh.dist.size() - at);
        if (std::fread(bytes.data(), 4, count, f.get()) != count) return failed("read failed");
        get_le(bytes.data(), count, fresh.dist.data() + at);
    }
    for (int a = 0; a < faces; ++a) {
        const float* r = fresh.row(a);
        for (int b = 0; b <= a; ++b)
            if (!(r[b] >= 0.0f) || (b == a && r[b] != 0.0f))
                return failed("float " + std::to_string(row_start(a) + b) + ", the distance of faces " +
                              std::to_string(b) + " and " + std::to_string(a) + ", is " + std::to_string(r[b]) +
                              ": not a distance table");
    }
    into = std::move(fresh);
    return {};
}
