#include "colouring/vertex_colouring.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "core/Mesh.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"

namespace {

const Rgb black{0, 0, 0}, red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};

void expect_rgb(const Vector& c, float r, float g, float b)
{
    EXPECT_NEAR(c.x, r, 1e-6f);
    EXPECT_NEAR(c.y, g, 1e-6f);
    EXPECT_NEAR(c.z, b, 1e-6f);
}

// A triangle whose vertices carry the given morphogen values (one list per vertex).
std::unique_ptr<Mesh> with_values(const std::vector<std::vector<float>>& values)
{
    auto m = named::single_triangle();
    m->morphogen_values = values;
    return m;
}

std::string colour_by_height_quietly(Mesh& m, const std::vector<Rgb>& colours, const std::vector<float>& values)
{
    Captured out;
    return printed(out, [&] { colour_by_height(m, colours, values, out); });
}

}  // namespace

TEST(MorphogenColouring, BaseColourWhenNothingIsOn)
{
    auto m = with_values({{1.0f, 0.5f}, {0.2f, 0.0f}, {0.0f, 3.0f}});
    const Rgb base{10, 20, 30};
    colour_by_morphogens(*m, 0, {0, 0}, {red, green}, base);
    for (const Vector& c : m->vertex_colours) expect_rgb(c, 10 / 255.0f, 20 / 255.0f, 30 / 255.0f);

    // Values at or below zero are not counted, even when the morphogen is on.
    colour_by_morphogens(*m, 0, {1, 1}, {red, green}, base);
    expect_rgb(m->vertex_colours[1], (10 + 255 * 0.2f / 2) / 255.0f, 20 / 255.0f, 30 / 255.0f);
    auto negative = with_values({{-1.0f}, {0.0f}, {-0.5f}});
    colour_by_morphogens(*negative, 1, {1}, {red}, base);
    for (const Vector& c : negative->vertex_colours) expect_rgb(c, 10 / 255.0f, 20 / 255.0f, 30 / 255.0f);
}

TEST(MorphogenColouring, AdditiveAndSubtractiveMeansCountTheBase)
{
    auto m = with_values({{1.0f, 0.0f}, {0.5f, 1.0f}, {1.0f, 1.0f}});
    colour_by_morphogens(*m, 0, {1, 1}, {red, blue}, black);
    expect_rgb(m->vertex_colours[0], 0.5f, 0, 0);             // base + c / 2
    expect_rgb(m->vertex_colours[1], 0.5f / 3, 0, 1.0f / 3);  // two on: mean over three
    expect_rgb(m->vertex_colours[2], 1.0f / 3, 0, 1.0f / 3);
    EXPECT_FLOAT_EQ(m->vertex_colours[0].w, 2.0f);  // w sums, undivided

    const Rgb grey{128, 128, 128};
    const float g = 128 / 255.0f;
    colour_by_morphogens(*m, 1, {1, 1}, {red, blue}, grey);
    expect_rgb(m->vertex_colours[0], g, g - 0.5f, g - 0.5f);  // base - (1 - c) / 2
    // Two on: base - ((1 - 0.5 red) + (1 - blue)) / 3.
    expect_rgb(m->vertex_colours[1], g - 1.5f / 3, g - 2.0f / 3, g - 1.0f / 3);
    // Any mode but 0 subtracts.
    colour_by_morphogens(*m, 7, {1, 0}, {red, blue}, grey);
    expect_rgb(m->vertex_colours[0], g, g - 0.5f, g - 0.5f);
}

TEST(MorphogenColouring, TheLegendsColourOfOneMorphogenIsTheMeshsColour)
{
    const Rgb base{40, 60, 80}, colour{200, 100, 0};
    for (int mode : {0, 1})
        for (float v : {-1.0f, 0.0f, 0.25f, 1.0f, 3.0f}) {
            auto m = with_values({{v}});
            colour_by_morphogens(*m, mode, {1}, {colour}, base);
            const Vector alone = morphogen_colour_alone(mode, colour, base, v);
            const Vector& c = m->vertex_colours[0];
            expect_rgb(alone, std::clamp(c.x, 0.0f, 1.0f), std::clamp(c.y, 0.0f, 1.0f), std::clamp(c.z, 0.0f, 1.0f));
        }
}

TEST(MorphogenColouring, UsesOnlyWhatEveryListHolds)
{
    // More values per vertex than the panel has toggles and colours.
    auto m = with_values({{1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f}});
    colour_by_morphogens(*m, 0, {1}, {red, green}, black);
    for (const Vector& c : m->vertex_colours) expect_rgb(c, 0.5f, 0, 0);
    colour_by_morphogens(*m, 0, {1, 1, 1}, {red}, black);
    for (const Vector& c : m->vertex_colours) expect_rgb(c, 0.5f, 0, 0);

    // Fewer values than toggles, and vertices with no values at all (the
    // mesh changed under the morphogens).
    auto short_rows = with_values({{1.0f}, {}});
    colour_by_morphogens(*short_rows, 0, {1, 1}, {red, green}, blue);
    expect_rgb(short_rows->vertex_colours[0], 0.5f, 0, 1);
    expect_rgb(short_rows->vertex_colours[1], 0, 0, 1);
    expect_rgb(short_rows->vertex_colours[2], 0, 0, 1);

    auto none = named::two_triangles();
    colour_by_morphogens(*none, 0, {1}, {red}, green);
    for (const Vector& c : none->vertex_colours) expect_rgb(c, 0, 1, 0);
    auto empty = named::empty();
    colour_by_morphogens(*empty, 0, {1}, {red}, green);
    EXPECT_TRUE(empty->vertex_colours.empty());
}

TEST(HeightColouring, TwoEntryRampAndExactRampValues)
{
    auto m = named::make({{0, 0, 0}, {1, 4, 0}, {0, 2, 1}, {1, 1, 1}}, {{0, 1, 2}, {1, 3, 2}});
    const std::string out = colour_by_height_quietly(*m, {blue, red}, {0.0f, 1.0f});
    EXPECT_EQ(out.rfind("terrain vertex colours...\n", 0), 0u) << out;
    expect_rgb(m->vertex_colours[0], 0, 0, 1);
    expect_rgb(m->vertex_colours[1], 1, 0, 0);
    expect_rgb(m->vertex_colours[2], 0.5f, 0, 0.5f);
    expect_rgb(m->vertex_colours[3], 0.25f, 0, 0.75f);

    // A vertex exactly at an inner ramp value takes that entry's colour.
    colour_by_height_quietly(*m, {blue, green, red}, {0.0f, 0.5f, 1.0f});
    expect_rgb(m->vertex_colours[2], 0, 1, 0);
    expect_rgb(m->vertex_colours[3], 0, 0.5f, 0.5f);
    // Heights below the first value extrapolate the first segment.
    colour_by_height_quietly(*m, {blue, red}, {0.5f, 1.0f});
    expect_rgb(m->vertex_colours[0], -1, 0, 2);
}

TEST(HeightColouring, ShortRampsFlatMeshesAndTiedValues)
{
    auto m = named::make({{0, 0, 0}, {1, 4, 0}, {0, 2, 1}}, {{0, 1, 2}});
    m->vertex_colours[0] = Vector(0.1f, 0.2f, 0.3f, 1.0f);
    Captured console;
    const std::string out = printed(console, [&] { EXPECT_FALSE(colour_by_height(*m, {}, {}, console)); });
    EXPECT_NE(out.find("no entries"), std::string::npos) << out;
    expect_rgb(m->vertex_colours[0], 0.1f, 0.2f, 0.3f);

    colour_by_height_quietly(*m, {green}, {0.3f});
    for (const Vector& c : m->vertex_colours) expect_rgb(c, 0, 1, 0);

    auto flat = named::make({{0, 3, 0}, {1, 3, 0}, {0, 3, 1}}, {{0, 2, 1}});  // every y is 3
    colour_by_height_quietly(*flat, {red, blue}, {0.0f, 1.0f});
    for (const Vector& c : flat->vertex_colours) expect_rgb(c, 1, 0, 0);

    // Two entries at one position: no division by zero.
    colour_by_height_quietly(*m, {red, green, blue}, {0.0f, 1.0f, 1.0f});
    for (const Vector& c : m->vertex_colours) EXPECT_FALSE(std::isnan(c.x) || std::isnan(c.z));
    expect_rgb(m->vertex_colours[1], 0, 1, 0);

    auto empty = named::empty();
    EXPECT_EQ(colour_by_height_quietly(*empty, {red}, {0.0f}), "terrain vertex colours...\n");
}
