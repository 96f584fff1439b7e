#include <gtest/gtest.h>

#include "colouring/MorphogenSettings.h"
#include "tests/support/TempDir.h"

namespace {

const Rgb red{255, 0, 0}, green{0, 255, 0};

// The three-morphogen setting: base (10, 20, 30), subtractive, the second on and green.
MorphogenSettings example()
{
    MorphogenSettings s;
    s.reset({"a", "b", "c"});
    s.base_colour = {10, 20, 30};
    s.mix_mode = 1;
    s.colours[1] = green;
    s.toggles[1] = 1;
    return s;
}

const char* example_text = "SIZE 3\nBASECOL 10 20 30\nMIXMODE 1\nMORPHO\t255 0 0 0\nMORPHO\t0 255 0 1\nMORPHO\t255 0 0 0\n";

MorphogenSettings::Load read_quietly(MorphogenSettings& s, const std::string& path, std::string* out = nullptr)
{
    testing::internal::CaptureStdout();
    const auto r = s.read(path);
    const std::string text = testing::internal::GetCapturedStdout();
    if (out) *out = text;
    return r;
}

}  // namespace

TEST(MorphogenSettings, ResetGivesEveryMorphogenRedAndOff)
{
    MorphogenSettings s = example();
    s.reset({"x", "y"});
    EXPECT_EQ(s.names, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(s.colours, (std::vector<Rgb>{red, red}));
    EXPECT_EQ(s.toggles, (std::vector<int>{0, 0}));
    EXPECT_EQ(s.mix_mode, 1);  // base colour and mix mode stay
    EXPECT_EQ(s.base_colour, (Rgb{10, 20, 30}));
}

TEST(MorphogenSettings, SavesTheExampleByteForByteAndReadsItBack)
{
    TempDir dir;
    ASSERT_TRUE(example().write(dir.file("s.mor")));
    EXPECT_EQ(slurp(dir.file("s.mor")), example_text);

    MorphogenSettings s;
    s.reset({"a", "b", "c"});
    EXPECT_EQ(read_quietly(s, dir.file("s.mor")), MorphogenSettings::Load::Loaded);
    EXPECT_EQ(s.mix_mode, 1);
    EXPECT_EQ(s.base_colour, (Rgb{10, 20, 30}));
    EXPECT_EQ(s.colours, (std::vector<Rgb>{red, green, red}));
    EXPECT_EQ(s.toggles, (std::vector<int>{0, 1, 0}));

    testing::internal::CaptureStdout();
    EXPECT_FALSE(example().write(dir.path() + "/no/such/dir/s.mor"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ERROR: SAVING FILE .MOR File! QtMorphogenWidget::saveSlot(void)\n");
}

TEST(MorphogenSettings, CountLineMustMatchTheNamesHeld)
{
    TempDir dir;
    // Settings before the count line stay; nothing after it is read.
    const std::string path = dir.write("s.mor", std::string("MIXMODE 1\n") + example_text);
    MorphogenSettings s;
    s.reset({"a", "b"});
    std::string out;
    EXPECT_EQ(read_quietly(s, path, &out), MorphogenSettings::Load::CountMismatch);
    EXPECT_EQ(out, "ERROR: " + path + ": line 2: the file holds settings for 3 morphogens, the mesh has 2; load abandoned\n");
    EXPECT_EQ(s.mix_mode, 1);
    EXPECT_EQ(s.base_colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(s.colours, (std::vector<Rgb>{red, red}));
}

TEST(MorphogenSettings, RejectsBrokenFilesWithoutChangingAnything)
{
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"SIZE 1\nBASECOL 1 2\nMIXMODE 1\n", "line 2: BASECOL needs 3 numbers"},
        {"SIZE 1\nMORPHO\t300 0 0 1\n", "line 2: MORPHO colour component outside 0..255"},
        {"SIZE 1\nMIXMODE 1e20\n", "line 2: MIXMODE value out of range"},
        {"SIZE\n", "line 1: SIZE needs 1 number"},
    };
    for (const auto& [text, problem] : broken) {
        const std::string path = dir.write("b.mor", text);
        MorphogenSettings s;
        s.reset({"only"});
        std::string out;
        EXPECT_EQ(read_quietly(s, path, &out), MorphogenSettings::Load::Malformed) << text;
        EXPECT_EQ(out, "ERROR: " + path + ": " + problem + "\n");
        EXPECT_EQ(s.mix_mode, 0);
        EXPECT_EQ(s.colours, std::vector<Rgb>{red});
    }
    MorphogenSettings s;
    std::string out;
    EXPECT_EQ(read_quietly(s, dir.file("missing.mor"), &out), MorphogenSettings::Load::Unreadable);
    EXPECT_EQ(out, "ERROR!!!\n");
}

TEST(MorphogenSettings, ToleratesSurplusLinesStrayWordsAndFractions)
{
    TempDir dir;
    const std::string path = dir.write(
        "s.mor", "# saved by hand\nSIZE 1\nBASECOL 1.9 2 3 junk\nMORPHO\t0 0 255 1\nMORPHO\t9 9 9 1\n");
    MorphogenSettings s;
    s.reset({"only"});
    EXPECT_EQ(read_quietly(s, path), MorphogenSettings::Load::Loaded);
    EXPECT_EQ(s.base_colour, (Rgb{1, 2, 3}));  // numbers are truncated
    EXPECT_EQ(s.colours, (std::vector<Rgb>{{0, 0, 255}}));
    EXPECT_EQ(s.toggles, std::vector<int>{1});
}
