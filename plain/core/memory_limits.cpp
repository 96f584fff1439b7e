#include "core/memory_limits.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <vector>

#include "core/Mesh.h"

#if defined(__unix__) || defined(__APPLE__)
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

constexpr std::size_t unlimited = std::numeric_limits<std::size_t>::max();

// The number in a cgroup limit file; unlimited for "max", a missing file or
// anything else.
std::size_t limit_in_file(const std::string& path)
{
    std::ifstream in(path);
    std::string word;
    if (!(in >> word) || word.empty() || word.find_first_not_of("0123456789") != std::string::npos) return unlimited;
    try {
        const unsigned long long value = std::stoull(word);
        return value < unlimited ? std::size_t(value) : unlimited;
    } catch (const std::exception&) {
        return unlimited;
    }
}

// The tightest memory limit of this process's control group and the groups
// above it, for version 2 ("0::/path") and version 1 ("n:memory:/path")
// hierarchies. Inside a container the group's own directory is often the
// root of the mount, so the root is read too.
std::size_t cgroup_limit()
{
    std::size_t limit = unlimited;
    std::ifstream groups("/proc/self/cgroup");
    std::string line;
    while (std::getline(groups, line)) {
        const std::size_t a = line.find(':'), b = line.find(':', a + 1);
        if (a == std::string::npos || b == std::string::npos) continue;
        const std::string controllers = line.substr(a + 1, b - a - 1);
        std::string path = line.substr(b + 1);
        std::string root, file;
        if (controllers.empty()) {
            root = "/sys/fs/cgroup";
            file = "/memory.max";
        } else if (("," + controllers + ",").find(",memory,") != std::string::npos) {
            root = "/sys/fs/cgroup/memory";
            file = "/memory.limit_in_bytes";
        } else {
            continue;
        }
        for (;;) {
            if (path == "/") path.clear();
            limit = std::min(limit, limit_in_file(root + path + file));
            if (path.empty()) break;
            path.erase(path.rfind('/'));
        }
    }
    return limit;
}

}  // namespace

std::size_t physical_memory()
{
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGE_SIZE)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page = sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && page > 0) return std::size_t(pages) * std::size_t(page);
#endif
    return unlimited;
}

void return_free_memory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

std::size_t usable_memory()
{
    std::size_t limit = physical_memory();
#if defined(__unix__) || defined(__APPLE__)
    for (const int resource : {RLIMIT_AS, RLIMIT_DATA}) {
        rlimit r{};
        if (getrlimit(resource, &r) == 0 && r.rlim_cur != RLIM_INFINITY)
            limit = std::min(limit, std::size_t(r.rlim_cur));
    }
#endif
#if defined(__linux__)
    limit = std::min(limit, cgroup_limit());
#endif
    return limit;
}

double mesh_bytes(double vertices, double faces, double morphogens)
{
    // Three vector arrays per vertex (texture coordinates come only with
    // MESH_TEXCOORDS), three arrays per face; with morphogens each vertex's
    // list is its own allocation of at least 32 bytes.
    const double per_list =
        morphogens > 0 ? sizeof(std::vector<float>) + std::max(32.0, 16.0 * std::ceil((4.0 * morphogens + 8.0) / 16.0))
                       : 0.0;
    return vertices * (3.0 * sizeof(Vector) + per_list) + faces * (sizeof(Face) + sizeof(Face*) + sizeof(Vector));
}

double reload_copy_bytes(double vertices, double faces, double morphogens)
{
    return vertices * (2.0 * 3.0 * sizeof(float) + morphogens * sizeof(float)) + faces * 3.0 * sizeof(int);
}

double edge_list_bytes(double vertices, double faces, double edges)
{
    // Kept: two pairs an edge, the vertex links and vertex neighbours (two
    // each an edge), the face links and face neighbours (two each an
    // interior edge), four offset arrays, all of 4-byte items. Working: an
    // occurrence, a rank and an edge number a corner pair, two counts an edge.
    const double kept = edges * (8.0 + 8.0 + 4 * 2 * 4.0) + 2 * 4.0 * (vertices + faces);
    const double working = 3.0 * faces * (12.0 + 1.0 + 4.0) + edges * 8.0 + 4.0 * vertices;
    return kept + working;
}

bool mesh_fits_in_memory(long long vertices, long long faces, int morphogens, std::string& problem)
{
    const double v = double(vertices), f = double(faces);
    // The mesh, its copy for reloading (morphogens included), and the edge
    // list of as many as three edges a face.
    const double needed =
        mesh_bytes(v, f, morphogens) + reload_copy_bytes(v, f, morphogens) + edge_list_bytes(v, f, 3.0 * f);
    const double usable = double(usable_memory());
    if (needed < usable) return true;
    problem = std::to_string(vertices) + " vertices, " + std::to_string(faces) + " triangles and " +
              std::to_string(morphogens) + " morphogens need " + megabytes(needed) + ", more than the " +
              megabytes(usable) + " this process may use";
    return false;
}

std::string megabytes(double bytes)
{
    return std::to_string((long long)std::ceil(bytes / 1048576.0)) + " MB";
}
