// libFuzzer target: the OBJ reader and everything a load runs after it.
#include "fuzz/LoadAndSave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return load_and_save(data, size, ".obj");
}
