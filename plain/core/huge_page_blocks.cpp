// The programs' global operator new and delete: malloc and free, with
// transparent huge pages asked for on large blocks before they are touched.
// Opening a mesh allocates its arrays in blocks of megabytes and fills each
// at once; on 4 KiB pages that is one page fault every 4 KiB, about a third
// of the time halvane-tool info takes on a million faces. Linked into
// halvane and halvane-tool only: the libraries and the tests (which have
// their own operator new) keep the standard one, and so do sanitizer
// builds, whose runtime replaces it.
#include <cstdint>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace {

constexpr std::uintptr_t huge_page = std::uintptr_t(2) << 20;

void* allocate(std::size_t n)
{
    for (;;) {
        if (void* p = std::malloc(n ? n : 1)) {
            // The whole huge pages inside the block; malloc has written only
            // its header before them.
            if (n >= 2 * huge_page) {
                const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(p);
                const std::uintptr_t first = (at + huge_page - 1) & ~(huge_page - 1);
                const std::uintptr_t last = (at + n) & ~(huge_page - 1);
                if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
            }
            return p;
        }
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

}  // namespace

#include "core/replaced_operator_new.h"
