#include "core/memory_limits.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/Mesh.h"

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

std::size_t physical_memory()
{
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGE_SIZE)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page = sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && page > 0) return std::size_t(pages) * std::size_t(page);
#endif
    return std::numeric_limits<std::size_t>::max();
}

bool mesh_fits_in_memory(long long vertices, long long faces, int morphogens, std::string& problem)
{
    // Four vector arrays per vertex, three arrays per face; each vertex's
    // morphogen list is its own allocation of at least 32 bytes.
    const double per_list = morphogens > 0 ? std::max(32.0, 16.0 * std::ceil((4.0 * morphogens + 8.0) / 16.0)) : 0.0;
    const double needed = double(vertices) * (4.0 * sizeof(Vector) + sizeof(std::vector<float>) + per_list) +
                          double(faces) * (sizeof(Face) + sizeof(Face*) + sizeof(Vector));
    if (needed < double(physical_memory())) return true;
    problem = std::to_string(vertices) + " vertices, " + std::to_string(faces) + " triangles and " +
              std::to_string(morphogens) + " morphogens need " + std::to_string((long long)(needed / 1048576.0)) +
              " MB, more than this machine's memory";
    return false;
}
