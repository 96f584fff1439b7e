// libFuzzer target: the STL reader, everything a load runs after it, and
// the read back of what the program writes.
#include "fuzz/LoadAndSave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return load_and_save(data, size, ".stl");
}
