#pragma once

#include <cstddef>

// Bytes of physical memory of this machine; the largest std::size_t when
// the system does not tell. Readers compare what a file would make them
// allocate against it, so a huge input gets a message, not an out-of-memory.
std::size_t physical_memory();
