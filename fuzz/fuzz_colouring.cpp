// libFuzzer targets of the colouring readers, chosen at build time:
// FUZZ_MAP the colour map reader, FUZZ_MOR the morphogen settings reader,
// FUZZ_PNG the heightmap path (PNG decoding, stretching, terrain building).
#include <cstdint>
#include <string>

#include "colouring/build_terrain.h"
#include "colouring/ColourMap.h"
#include "colouring/Heightmap.h"
#include "colouring/MorphogenSettings.h"
#include "colouring/png_file.h"
#include "core/Mesh.h"
#include "core/Messages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Messages console;
#if defined(FUZZ_MAP)
    ColourMap map;
    if (map.read_text(std::string(reinterpret_cast<const char*>(data), size), "fuzz.map", console) && map.size() == 0)
        __builtin_trap();  // a read that succeeds always leaves an entry
#elif defined(FUZZ_MOR)
    MorphogenSettings settings;
    settings.reset({"a", "b"});
    settings.read_text(std::string(reinterpret_cast<const char*>(data), size), "fuzz.mor", console);
    if (settings.colours.size() != 2 || settings.toggles.size() != 2) __builtin_trap();
#elif defined(FUZZ_PNG)
    RgbaImage image;
    std::string error;
    if (read_png_memory(data, size, image, error)) {
        Heightmap heightmap;
        heightmap.load(image);
        Mesh mesh;
        build_terrain(mesh, heightmap, 16, 256, 64, console);
    }
#endif
    return 0;
}
