#include "core/Memory.h"

#include <limits>

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
