#pragma once

#include <cstddef>
#include <string>

// Bytes of physical memory of this machine; the largest std::size_t when
// the system does not tell.
std::size_t physical_memory();

// Bytes this process may really allocate: the smallest of physical memory,
// its address-space and data limits (ulimit -v, -d) and the memory limit of
// its control group. Every size guard compares what an operation would
// allocate with this, so a request too big for the process gets a message
// instead of running out of memory half way.
std::size_t usable_memory();

// Hands the heap's free pages back to the system. An operation on a large
// mesh frees hundreds of megabytes of working arrays that the allocator
// would otherwise keep for the process. Costs a walk over the heap.
void return_free_memory();

// Whether a mesh of `vertices`, `faces` and `morphogens` values per vertex
// can be read and used: its arrays, the derived data that opening builds
// (edge list and neighbour lists), and the copy kept for reloading, all in
// usable memory. When not, `problem` says how much it would take, for the
// reader's rejection line.
bool mesh_fits_in_memory(long long vertices, long long faces, int morphogens, std::string& problem);

// Bytes of the arrays of a mesh of that size (vertices, faces, morphogens).
double mesh_bytes(double vertices, double faces, double morphogens);
// Bytes of the copy a document keeps for "Reload": positions, colours,
// corners and morphogen values as flat arrays.
double reload_copy_bytes(double vertices, double faces, double morphogens);
// Bytes of the derived data MESH_EDGE_LIST builds for `faces` faces over
// `vertices` vertices with `edges` edges (at most three a face), and of the
// working arrays it needs while it does.
double edge_list_bytes(double vertices, double faces, double edges);

// "123 MB": a byte count for a console line.
std::string megabytes(double bytes);
