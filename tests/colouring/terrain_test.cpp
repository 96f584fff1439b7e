#include <gtest/gtest.h>

#include <zlib.h>

#include <cmath>

#include "colouring/Heightmap.h"
#include "colouring/PngFile.h"
#include "colouring/TerrainBuilder.h"
#include "core/Mesh.h"
#include "tests/support/TempDir.h"

namespace {

RgbaImage filled(int w, int h, unsigned char r, unsigned char g, unsigned char b, unsigned char a = 255)
{
    RgbaImage image;
    image.width = w;
    image.height = h;
    image.pixels.resize(std::size_t(w) * h * 4);
    for (int i = 0; i < w * h; ++i) {
        image.pixels[std::size_t(i) * 4] = r;
        image.pixels[std::size_t(i) * 4 + 1] = g;
        image.pixels[std::size_t(i) * 4 + 2] = b;
        image.pixels[std::size_t(i) * 4 + 3] = a;
    }
    return image;
}

std::string build_quietly(Mesh& m, const Heightmap& h, int n, float s = 256, float height = 64)
{
    testing::internal::CaptureStdout();
    build_terrain(m, h, n, s, height);
    return testing::internal::GetCapturedStdout();
}

std::string png_chunk(const std::string& type, const std::string& data)
{
    std::string out;
    const auto put = [&out](unsigned long v) {
        for (int shift = 24; shift >= 0; shift -= 8) out += char((v >> shift) & 0xff);
    };
    put(data.size());
    const std::string body = type + data;
    out += body;
    put(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size())));
    return out;
}

// A PNG signature, a header claiming width by height pixels and an empty data chunk.
std::string png_header(unsigned width, unsigned height)
{
    std::string ihdr;
    for (unsigned v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) ihdr += char((v >> shift) & 0xff);
    ihdr += std::string("\x08\x06\x00\x00\x00", 5);
    return "\x89PNG\r\n\x1a\n" + png_chunk("IHDR", ihdr) + png_chunk("IDAT", "");
}

}  // namespace

TEST(TerrainBuilder, FaceOrderAndPositionsOfASmallGrid)
{
    Mesh m;
    const std::string out = build_quietly(m, Heightmap(), 3, 3.0f, 10.0f);
    EXPECT_NE(out.find("9, 8 \n"), std::string::npos) << out;
    const int expected[8][3] = {{0, 1, 2}, {0, 2, 3}, {3, 2, 4}, {3, 4, 5},
                                {1, 6, 7}, {1, 7, 2}, {2, 7, 8}, {2, 8, 4}};
    ASSERT_EQ(m.nf, 8);
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(m.faces[i].vi[k], expected[i][k]) << i;
    // Vertex 1 is grid row 1, column 0; vertex 3 row 0, column 1.
    EXPECT_FLOAT_EQ(m.vertices[1].z, 1.0f);
    EXPECT_FLOAT_EQ(m.vertices[3].x, 1.0f);
    EXPECT_FLOAT_EQ(m.vertex_colours[8].x, 1.0f);
    for (int i = 0; i < m.nf; ++i) EXPECT_GT(m.faces[i].normal.y, 0.99f);  // facing +y
}

TEST(TerrainBuilder, SizesOfTheDefaultAndTheSmallestGrid)
{
    Mesh m;
    std::string out = build_quietly(m, Heightmap(), 64);
    EXPECT_EQ(m.nv, 4096);
    EXPECT_EQ(m.nf, 2 * 63 * 63);
    EXPECT_NE(out.find("4096, 7938 \n"), std::string::npos);
    for (const Vector& v : m.vertices) EXPECT_EQ(v.y, 0.0f);
    EXPECT_FLOAT_EQ(m.vertices[m.nv - 1].x, 256.0f * 63 / 64);

    m.morphogen_values.assign(4096, {1.0f});
    build_quietly(m, Heightmap(), 1);
    EXPECT_EQ(m.nv, 1);
    EXPECT_EQ(m.nf, 0);
    EXPECT_TRUE(m.morphogen_values.empty());

    testing::internal::CaptureStdout();
    EXPECT_FALSE(build_terrain(m, Heightmap(), 0, 1, 1));
    EXPECT_FALSE(build_terrain(m, Heightmap(), max_terrain_resolution + 1, 1, 1));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("outside 1..1024"), std::string::npos);
    EXPECT_EQ(m.nv, 1);
}

TEST(TerrainBuilder, FineGridsSampleEachPixelMoreThanOnce)
{
    // Columns alternate black and white; at 512 points a side, grid
    // columns 2c and 2c + 1 both read pixel column c.
    Heightmap h;
    for (int y = 0; y < Heightmap::size; ++y)
        for (int x = 1; x < Heightmap::size; x += 2)
            for (int ch = 0; ch < 3; ++ch) h.rgb[(std::size_t(y) * Heightmap::size + x) * 3 + ch] = 255;
    Mesh m;
    build_quietly(m, h, 512, 512, 256);
    // Row 0's vertices: 0 (c 0) and, from the first faces, 512 + 1.. ; find by x.
    std::vector<float> row(512, -1);
    for (const Vector& v : m.vertices)
        if (v.z == 0.0f) row[std::size_t(std::lround(v.x))] = v.y;
    for (int c = 0; c < 512; c += 2) {
        EXPECT_EQ(row[c], row[c + 1]) << c;
        EXPECT_EQ(row[c], (c / 2) % 2 ? 255.0f : 0.0f) << c;
    }
}

TEST(Heightmap, ExchangesRedAndBlueAndStretchesToItsSize)
{
    Heightmap h;
    h.load(filled(3, 5, 255, 0, 0));
    EXPECT_EQ(h.grey(0, 0), 39);
    EXPECT_EQ(h.grey(255, 255), 39);
    h.load(filled(1, 1, 0, 0, 255));
    EXPECT_EQ(h.grey(17, 200), 87);
    h.load(filled(7, 7, 200, 200, 200));
    EXPECT_EQ(h.grey(100, 100), 200);
    h.load(filled(4, 4, 255, 255, 255, 0));  // transparent counts as black
    EXPECT_EQ(h.grey(0, 0), 0);
    const RgbaImage shown = h.picture();
    EXPECT_EQ(shown.width, 256);

    // A wide picture, left half black and right half white.
    RgbaImage wide = filled(8, 2, 0, 0, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 4; x < 8; ++x)
            for (int ch = 0; ch < 3; ++ch) wide.at(x, y)[ch] = 255;
    h.load(wide);
    EXPECT_EQ(h.grey(10, 0), 0);
    EXPECT_EQ(h.grey(245, 255), 255);
    EXPECT_GT(h.grey(128, 128), h.grey(127, 128));

    Mesh m;
    build_quietly(m, h, 2, 2, 256);
    EXPECT_EQ(m.vertices[0].y, 0.0f);
}

TEST(PngFile, RoundTripsAndRefusesWhatIsNotAPicture)
{
    TempDir dir;
    RgbaImage image = filled(3, 2, 1, 2, 3, 255);
    image.at(2, 1)[0] = 250;
    std::string error;
    ASSERT_TRUE(write_png(dir.file("a.png"), image, error)) << error;
    RgbaImage back;
    ASSERT_TRUE(read_png(dir.file("a.png"), back, error)) << error;
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.height, 2);
    EXPECT_EQ(back.pixels, image.pixels);

    RgbaImage kept = filled(1, 1, 9, 9, 9);
    EXPECT_FALSE(read_png(dir.write("x.png", "not a picture at all"), kept, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(read_png(dir.file("missing.png"), kept, error));
    const std::string truncated = slurp(dir.file("a.png")).substr(0, 40);
    EXPECT_FALSE(read_png_memory(truncated.data(), truncated.size(), kept, error));
    EXPECT_EQ(kept.width, 1);
    EXPECT_EQ(kept.pixels[0], 9);

    const std::string huge = png_header(100000, 100000);
    error.clear();
    EXPECT_FALSE(read_png_memory(huge.data(), huge.size(), kept, error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
}
