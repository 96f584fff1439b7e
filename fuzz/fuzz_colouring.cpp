// libFuzzer targets of the colouring readers, chosen at build time:
// FUZZ_MAP the colour map reader, FUZZ_MOR the morphogen settings reader,
// FUZZ_PNG the heightmap path (PNG decoding, stretching, terrain building).
// What a reader accepts is written by the program's writer and read back,
// and must come back the same.
#include <cstdint>
#include <string>

#include "colouring/build_terrain.h"
#include "colouring/ColourMap.h"
#include "colouring/Heightmap.h"
#include "colouring/MorphogenSettings.h"
#include "colouring/png_file.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "fuzz/LoadAndSave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Messages console;
    const std::string text(reinterpret_cast<const char*>(data), size);
#if defined(FUZZ_MAP)
    ColourMap map;
    if (map.read_text(text, "fuzz.map", console)) {
        if (map.size() == 0) __builtin_trap();  // a read that succeeds always leaves an entry
        ColourMap back;
        const std::string output = work_file("output.map");
        if (!map.write(output, console) || !back.read(output, console) || back.map_values != map.map_values ||
            back.map_colours != map.map_colours)
            __builtin_trap();
    }
#elif defined(FUZZ_MOR)
    MorphogenSettings settings;
    settings.reset({"a", "b"});
    if (settings.read_text(text, "fuzz.mor", console) == MorphogenSettings::Load::Loaded) {
        MorphogenSettings back;
        back.reset({"a", "b"});
        const std::string output = work_file("output.mor");
        if (!settings.write(output, console) || back.read(output, console) != MorphogenSettings::Load::Loaded ||
            back.colours != settings.colours || back.toggles != settings.toggles ||
            back.mix_mode != settings.mix_mode || back.base_colour != settings.base_colour)
            __builtin_trap();
    }
    if (settings.colours.size() != 2 || settings.toggles.size() != 2) __builtin_trap();
#elif defined(FUZZ_PNG)
    RgbaImage image;
    std::string error;
    if (read_png_memory(data, size, image, error)) {
        Heightmap heightmap;
        heightmap.load(image);
        Mesh mesh;
        build_terrain(mesh, heightmap, 16, 256, 64, console);
        // The program writes 8-bit pictures; those come back pixel for pixel
        // (checked on pictures small enough to encode within the time limit).
        RgbaImage back;
        const std::string output = work_file("output.png");
        image.wide.clear();
        if ((long long)image.width * image.height <= (1 << 20) &&
            (!write_png(output, image, error) || !read_png(output, back, error) || back.width != image.width ||
             back.height != image.height || back.pixels != image.pixels))
            __builtin_trap();
    }
#endif
    return 0;
}
