// Writes the colouring samples: a 256 by 256 grey heightmap of a few hills
// around a valley (terrain_hills.png), a colour map for it from water to
// snow (terrain_hills.map), and a morphogen setting for blob.obj's three
// morphogens (blob.mor). Run from anywhere: make_colouring_samples DIR.
#include <cmath>
#include <cstdio>
#include <string>

#include "colouring/ColourMap.h"
#include "colouring/MorphogenSettings.h"
#include "colouring/png_file.h"
#include "core/Messages.h"

namespace {

struct Hill {
    float x, y, radius, height;
};

const Hill hills[] = {
    {0.30f, 0.35f, 0.18f, 0.95f}, {0.70f, 0.30f, 0.14f, 0.70f}, {0.60f, 0.72f, 0.22f, 0.80f},
    {0.18f, 0.78f, 0.10f, 0.45f}, {0.88f, 0.82f, 0.09f, 0.35f},
};

float height_at(float x, float y)
{
    float h = 0.08f;
    for (const Hill& hill : hills) {
        const float dx = x - hill.x, dy = y - hill.y;
        h += hill.height * std::exp(-(dx * dx + dy * dy) / (hill.radius * hill.radius));
    }
    // Gentle ripples so the slopes are not perfectly smooth.
    h += 0.03f * std::sin(23.0f * x) * std::cos(19.0f * y);
    return std::fmin(std::fmax(h, 0.0f), 1.0f);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : ".";
    RgbaImage image;
    image.width = image.height = 256;
    image.pixels.resize(256 * 256 * 4);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const auto grey = (unsigned char)std::lround(255.0f * height_at((x + 0.5f) / 256, (y + 0.5f) / 256));
            unsigned char* p = image.at(x, y);
            p[0] = p[1] = p[2] = grey;
            p[3] = 255;
        }
    std::string error;
    if (!write_png(dir + "/terrain_hills.png", image, error)) {
        std::fprintf(stderr, "make_colouring_samples: %s\n", error.c_str());
        return 1;
    }

    Messages console;
    ColourMap map;
    map.map_colours = {{20, 40, 120}, {40, 90, 190}, {220, 200, 140}, {60, 140, 50},
                       {40, 100, 40}, {120, 95, 70}, {240, 240, 245}, {255, 255, 255}};
    map.map_values = {0.0f, 0.12f, 0.16f, 0.25f, 0.5f, 0.7f, 0.85f, 1.0f};
    if (!map.write(dir + "/terrain_hills.map", console)) return 1;

    // blob.obj: "height" in orange and "spots" in blue over a dark grey base.
    MorphogenSettings blob;
    blob.reset({"height", "bands", "spots"});
    blob.base_colour = {60, 60, 60};
    blob.colours = {{255, 140, 0}, {255, 0, 0}, {40, 90, 255}};
    blob.toggles = {1, 0, 1};
    return blob.write(dir + "/blob.mor", console) ? 0 : 1;
}
