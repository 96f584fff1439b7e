#include <gtest/gtest.h>

#include "colouring/ColourMap.h"
#include "tests/support/TempDir.h"

namespace {

const Rgb black{0, 0, 0}, white{255, 255, 255}, red{255, 0, 0};

bool read_quietly(ColourMap& map, const std::string& path, std::string* out = nullptr)
{
    testing::internal::CaptureStdout();
    const bool ok = map.read(path);
    const std::string text = testing::internal::GetCapturedStdout();
    if (out) *out = text;
    return ok;
}

}  // namespace

TEST(ColourMap, KeepsEntriesInOrderAndItsEnds)
{
    ColourMap map;
    EXPECT_EQ(map.insert(0.5f, red), 1u);
    EXPECT_EQ(map.map_values, (std::vector<float>{0.0f, 0.5f, 1.0f}));
    EXPECT_EQ(map.map_colours, (std::vector<Rgb>{black, red, white}));
    EXPECT_EQ(map.insert(0.5f, white), 2u);  // after an equal value
    EXPECT_EQ(map.change(1, 2.0f, red), 3u);
    EXPECT_EQ(map.map_values, (std::vector<float>{0.0f, 0.5f, 1.0f, 2.0f}));
    EXPECT_EQ(map.map_colours, (std::vector<Rgb>{black, white, white, red}));

    EXPECT_FALSE(map.removable(0));
    EXPECT_FALSE(map.removable(3));
    EXPECT_TRUE(map.removable(1));
    map.remove(1);
    EXPECT_EQ(map.map_values, (std::vector<float>{0.0f, 1.0f, 2.0f}));
    EXPECT_FALSE(ColourMap().removable(1));
}

TEST(ColourMap, WritesTheShortestExactFloats)
{
    TempDir dir;
    ASSERT_TRUE(ColourMap().write(dir.file("d.map")));
    EXPECT_EQ(slurp(dir.file("d.map")), "0\t0\t0\t0\n1\t255\t255\t255\n");

    ColourMap map;
    map.insert(0.1f, {1, 2, 3});
    map.insert(1.0f / 3.0f, {4, 5, 6});
    map.insert(1e-7f, {7, 8, 9});
    ASSERT_TRUE(map.write(dir.file("m.map")));
    EXPECT_EQ(slurp(dir.file("m.map")),
              "0\t0\t0\t0\n1e-07\t7\t8\t9\n0.1\t1\t2\t3\n0.33333334\t4\t5\t6\n1\t255\t255\t255\n");
    ColourMap back;
    ASSERT_TRUE(read_quietly(back, dir.file("m.map")));
    EXPECT_EQ(back.map_values, map.map_values);
    EXPECT_EQ(back.map_colours, map.map_colours);

    testing::internal::CaptureStdout();
    EXPECT_FALSE(map.write(dir.path() + "/no/such/dir/m.map"));
    EXPECT_FALSE(map.write("/dev/full"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ERROR: SAVING FILE .MAP File! QtMeshTerrainWidget::save_event(void)\n"
              "ERROR: /dev/full: could not write the file completely [ColourMap::write()]\n");
}

TEST(ColourMap, ReadsEntriesAndFillsMissingComponentsFromTheEntryBefore)
{
    TempDir dir;
    ColourMap map;
    std::string out;
    ASSERT_TRUE(read_quietly(map, dir.write("a.map", "0 10 20 30\n0.5 40 50\nsea 1 60\n"), &out));
    EXPECT_EQ(map.map_values, (std::vector<float>{0.0f, 0.5f, 1.0f}));
    EXPECT_EQ(map.map_colours, (std::vector<Rgb>{{10, 20, 30}, {40, 50, 30}, {60, 50, 30}}));
    EXPECT_EQ(out, "0.000000, 10, 20, 30 \n0.500000, 40, 50, 30 \n1.000000, 60, 50, 30 \n");
}

TEST(ColourMap, AFailedReadKeepsTheMap)
{
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"", "line 1: no entry with a value and red, green and blue"},
        {"# nothing\n0.5 1 2\n", "line 3: no entry with a value and red, green and blue"},
        {"0 0 0 0\n0.5 1 256 0\n", "line 2: a colour component is outside 0..255"},
        {"0 0 0 0\n1e60 1 2 3\n", "line 2: the value is not a finite number"},
    };
    for (const auto& [text, problem] : broken) {
        ColourMap map;
        map.insert(0.25f, red);
        std::string out;
        const std::string path = dir.write("b.map", text);
        EXPECT_FALSE(read_quietly(map, path, &out)) << text;
        EXPECT_EQ(out, "ERROR: " + path + ": " + problem + "; the colour map is unchanged\n");
        EXPECT_EQ(map.map_values, (std::vector<float>{0.0f, 0.25f, 1.0f}));
    }
    ColourMap map;
    std::string out;
    EXPECT_FALSE(read_quietly(map, dir.file("missing.map"), &out));
    EXPECT_EQ(out, "ERROR!!!\n");
    EXPECT_EQ(map.size(), 2u);
}
