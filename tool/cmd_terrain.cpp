#include <cmath>
#include <cstdio>

#include "colouring/build_terrain.h"
#include "colouring/ColourMap.h"
#include "colouring/Heightmap.h"
#include "colouring/ply_file.h"
#include "colouring/png_file.h"
#include "Commands.h"
#include "core/load_mesh_file.h"
#include "core/Messages.h"
#include "document/MeshDocument.h"

namespace {

const char* const synopsis =
    "usage: halvane-tool terrain HEIGHTMAP.png [--resolution N] [--scale S] [--height H] [--map FILE.map] "
    "[--binary] OUT.obj|OUT.ply";

bool positive_number(const std::string& text, float& value)
{
    return parse_float(text, value) && std::isfinite(value) && value > 0.0f;
}

}  // namespace

int cmd_terrain(const Arguments& args)
{
    // The panel's settings once it is built, and its default colour map.
    int resolution = 64;
    float scale = 256.0f, height = 64.0f;
    std::string map_file;
    PlyFormat format = PlyFormat::Ascii;
    Arguments files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool valued = a == "--resolution" || a == "--scale" || a == "--height" || a == "--map";
        if (valued && i + 1 >= args.size()) return usage_error(a + " needs a value");
        if (a == "--resolution") {
            const std::string& v = args[++i];
            if (!parse_int(v, resolution) || resolution < 1 || resolution > max_terrain_resolution)
                return usage_error("--resolution takes a whole number from 1 to " +
                                   std::to_string(max_terrain_resolution) + ", not \"" + v + "\"");
        } else if (a == "--scale" || a == "--height") {
            if (!positive_number(args[++i], a == "--scale" ? scale : height))
                return usage_error(a + " takes a positive number, not \"" + args[i] + "\"");
        } else if (a == "--map") {
            map_file = args[++i];
        } else if (a == "--binary") {
            format = PlyFormat::BinaryLittleEndian;
        } else if (a.size() > 1 && a[0] == '-') {
            return usage_error("unknown option \"" + a + "\"");
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) return usage_error(synopsis);
    const std::string& out = files[1];
    const bool ply = has_extension(out, ".ply");
    if (const int refused = refuse_output(out, {files[0], map_file}, {".obj", ".ply"})) return refused;
    // One grid point a side makes one vertex and no face: nothing to write.
    if (resolution < 2)
        return usage_error("--resolution " + std::to_string(resolution) +
                           " gives a grid of one point and no faces; use 2 or more");

    Messages messages;
    RgbaImage image;
    std::string error;
    if (!read_png(files[0], image, error)) {
        messages.error("ERROR: " + files[0] + ": does not load as a PNG image: " + error + "\n", files[0]);
        return 1;
    }
    ColourMap map;
    if (!map_file.empty() && !map.read(map_file, messages)) return 1;

    Heightmap heightmap;
    heightmap.load(image);
    MeshDocument document(messages);
    document.build_terrain(heightmap, resolution, scale, height);
    if (!ply) return write_for_tool(document, out, files[0]) ? 0 : 1;
    document.colour_by_height(map.map_colours, map.map_values);
    return write_ply(document.mesh, out, format, messages) ? 0 : 1;
}
