#pragma once

#include <cstddef>
#include <string>

// Bytes of physical memory of this machine; the largest std::size_t when
// the system does not tell. Readers compare what a file would make them
// allocate against it, so a huge input gets a message, not an out-of-memory.
std::size_t physical_memory();

// Whether a mesh of `vertices`, `faces` and `morphogens` values per vertex
// fits in physical memory; when it does not, `problem` says how much it
// would take, for the reader's rejection line.
bool mesh_fits_in_memory(long long vertices, long long faces, int morphogens, std::string& problem);
