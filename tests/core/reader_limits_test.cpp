// The OBJ reader reads the common number forms without the tokenizer; these
// tests hold its results to the tokenizer's on every form, and check the
// inputs that used to crash or exhaust memory.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/Mesh.h"
#include "core/Tokenizer.h"
#include "tests/support/TempDir.h"

namespace {

struct Read {
    bool ok;
    std::string err;
};

Read read_obj(Mesh& m, const std::string& path)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool ok = m.read_obj(path);
    testing::internal::GetCapturedStdout();
    return {ok, testing::internal::GetCapturedStderr()};
}

// The first `n` number tokens of `text` as the tokenizer reads them, with a
// token that is not a number leaving the previous value (the holder rule).
std::vector<float> tokenizer_values(const std::string& text, int n, float holder)
{
    Tokenizer tok(text);
    std::vector<float> out;
    for (int i = 0; i < n; ++i) {
        if (tok.read_token() == Tokenizer::TT_NUMBER) holder = float(tok.number_value);
        out.push_back(holder);
    }
    return out;
}

bool three_numbers(const std::string& text)
{
    Tokenizer tok(text);
    for (int i = 0; i < 3; ++i)
        if (tok.read_token() != Tokenizer::TT_NUMBER) return false;
    return true;
}

std::string random_decimal(std::mt19937& rng)
{
    std::string s;
    if (rng() % 2) s += '-';
    const int whole = int(rng() % 12), fraction = int(rng() % 26);
    s += char('0' + rng() % 10);
    for (int i = 0; i < whole; ++i) s += char('0' + rng() % 10);
    if (fraction > 0) {
        s += '.';
        for (int i = 0; i < fraction; ++i) s += char('0' + rng() % 10);
    }
    return s;
}

}  // namespace

TEST(ObjReaderNumbers, EveryFormReadsAsTheTokenizerReadsIt)
{
    // Forms at the edges of the direct path (digit and decimal limits, 2^53,
    // 2^64 + 1 that wraps a 64-bit accumulator to 1) and forms it must leave
    // to the tokenizer.
    std::vector<std::string> numbers = {
        "0", "-0", "1", "-1.5", "0.1", "3.4028235e38", "1e-5", "+4", ".5", "-.25", "1.", "1.2.3", "1-2",
        "9007199254740992", "9007199254740993", "0.9007199254740993", "12345678901234567890",
        "1234567890123456789", "18446744073709551617", "1844674407370955161.7",
        "0.1234567890123456789012", "0.12345678901234567890123", "0.0000000000000000000001",
        "00000000000000000000000001.5", "4512345.67", "16777217", "1e400", "-1e-400", "2.5x", "7#c"};
    std::mt19937 rng(7);
    for (int i = 0; i < 300; ++i) numbers.push_back(random_decimal(rng));

    // Vertex lines need three numbers; the morphogen lines take every form
    // (a word keeps the previous value).
    std::vector<std::string> rests, vertex_rests;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        rests.push_back(" " + numbers[i] + " " + numbers[(i + 1) % numbers.size()] + "\t" +
                        numbers[(i + 7) % numbers.size()]);
        if (three_numbers(rests.back())) vertex_rests.push_back(rests.back());
    }
    // Plain vertices first, so there is a vertex for each morphogen line.
    const std::size_t padding = rests.size() - vertex_rests.size();
    std::string text;
    for (std::size_t i = 0; i < padding; ++i) text += "v 0 0 0\n";
    for (const std::string& rest : vertex_rests) text += "v" + rest + "\n";
    for (const std::string& rest : rests) text += "m" + rest + "\n";
    TempDir dir;
    Mesh m;
    const Read r = read_obj(m, dir.write("numbers.obj", text));
    ASSERT_TRUE(r.ok) << r.err;
    ASSERT_EQ(m.nv, int(rests.size()));
    float holder = 0.0f;
    for (std::size_t i = 0; i < vertex_rests.size(); ++i) {
        const std::vector<float> want = tokenizer_values(vertex_rests[i], 3, 0.0f);
        const Vector& v = m.vertices[padding + i];
        // Bit for bit: 0 and -0 differ, as do neighbouring floats.
        EXPECT_EQ(std::signbit(v.x), std::signbit(want[0])) << vertex_rests[i];
        EXPECT_EQ(v.x, want[0]) << vertex_rests[i];
        EXPECT_EQ(v.y, want[1]) << vertex_rests[i];
        EXPECT_EQ(v.z, want[2]) << vertex_rests[i];
        holder = want[2];
    }
    for (std::size_t i = 0; i < rests.size(); ++i) {
        const std::vector<float> want = tokenizer_values(rests[i], 3, holder);
        EXPECT_EQ(m.morphogen_values[i], want) << rests[i];
        holder = want[2];
    }
}

TEST(ObjReaderNumbers, CornerNumbersAtTheEdgesOfTheDirectPath)
{
    TempDir dir;
    const std::string tri = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    Mesh m;
    Read r = read_obj(m, dir.write("ok.obj", tri + "f 0001 2/9/9 -1//4\n"));
    ASSERT_TRUE(r.ok) << r.err;
    EXPECT_EQ(m.faces[0].vi[0], 0);
    EXPECT_EQ(m.faces[0].vi[1], 1);
    EXPECT_EQ(m.faces[0].vi[2], 2);

    const std::vector<std::pair<std::string, std::string>> bad = {
        {"f 1 2 +3", "corner \"+3\" is not a vertex number"},
        {"f 1 2 3x", "corner \"3x\" is not a vertex number"},
        {"f 1 2 -0", "corner \"-0\" is not a vertex number"},
        {"f 1 2 1234567890123456789", "corner 1234567890123456789 is outside the vertices 1 to 3"},
        {"f 1 2 99999999999999999999", "corner \"99999999999999999999\" is not a vertex number"},
        {"f 1 2 -4", "corner -4 is outside the vertices 1 to 3"}};
    for (const auto& [face, message] : bad) {
        r = read_obj(m, dir.write("bad.obj", tri + face + "\n"));
        EXPECT_FALSE(r.ok) << face;
        EXPECT_NE(r.err.find("line 4: " + message), std::string::npos) << face << " -> " << r.err;
        EXPECT_EQ(m.nv, 0);
    }
}

TEST(ReaderLimits, DirectoryNamedLikeAMeshIsRefusedNotACrash)
{
    TempDir dir;
    for (const char* name : {"folder.obj", "folder.net"}) {
        const std::string path = dir.file(name);
        ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
        Mesh m;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const bool ok = std::string(name).find("obj") != std::string::npos ? m.read_obj(path) : m.read_net(path);
        testing::internal::GetCapturedStdout();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(ok);
        EXPECT_NE(err.find(path + " (is a directory)"), std::string::npos) << err;
        EXPECT_EQ(m.nv, 0);
    }
}

TEST(ReaderLimits, FileAskingForMoreMemoryThanTheMachineHasIsRejected)
{
    // A million vertex lines and one morphogen line of four million values
    // ask for 16 TB of morphogen lists from a 10 MB file.
    std::string text;
    text.reserve(11 << 20);
    for (int i = 0; i < 1000000; ++i) text += "v\n";
    text += "m";
    for (int i = 0; i < 4000000; ++i) text += " 1";
    text += "\n";
    TempDir dir;
    Mesh m;
    m.morphogen_names = {"old"};
    const Read r = read_obj(m, dir.write("greedy.obj", text));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.err.find("1000000 vertices, 0 triangles and 4000000 morphogens need"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("more than this machine's memory"), std::string::npos) << r.err;
    EXPECT_EQ(m.nv, 0);
    EXPECT_TRUE(m.morphogen_values.empty());
    EXPECT_TRUE(m.morphogen_names.empty());
}

TEST(ReaderLimits, NetIndexBeyondTheIntRangeIsOutOfRangeNotWrapped)
{
    // 4294967296 used to wrap to vertex 0 and give a face 0 1 0.
    TempDir dir;
    for (const char* face : {"f 0 1 4294967296", "f -4294967295 1 2", "f 0 1 99999999999999999999999"}) {
        Mesh m;
        const std::string path = dir.write("wide.net", std::string("v 0 0 0\nv 1 0 0\nv 0 1 0\n") + face + "\n");
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const bool ok = m.read_net(path);
        testing::internal::GetCapturedStdout();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(ok) << face;
        EXPECT_NE(err.find("line 4: index"), std::string::npos) << face << " -> " << err;
        EXPECT_NE(err.find("is outside the vertices 0 to 2"), std::string::npos) << err;
        EXPECT_EQ(m.nf, 0);
    }
}
