#include <algorithm>
#include <array>
#include <cmath>

#include <gtest/gtest.h>
#include <zlib.h>

#include "colouring/build_terrain.h"
#include "colouring/Heightmap.h"
#include "colouring/png_file.h"
#include "core/Mesh.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"

namespace {

RgbaImage filled(int w, int h, unsigned char r, unsigned char g, unsigned char b, unsigned char a = 255)
{
    RgbaImage image{w, h, {}, {}};
    for (int i = 0; i < w * h; ++i) image.pixels.insert(image.pixels.end(), {r, g, b, a});
    return image;
}

std::string build_quietly(Mesh& m, const Heightmap& h, int n, float s = 256, float height = 64)
{
    Captured out;
    return printed(out, [&] { build_terrain(m, h, n, s, height, out); });
}

std::string be32(unsigned long v)
{
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) out += char((v >> shift) & 0xff);
    return out;
}

// Type and data, framed by length and checksum.
std::string chunk(const std::string& body)
{
    const unsigned long crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()));
    return be32(body.size() - 4) + body + be32(crc);
}

// A PNG signature, a header claiming width by height pixels and an empty data chunk.
std::string png_header(unsigned width, unsigned height)
{
    return "\x89PNG\r\n\x1a\n" + chunk("IHDR" + be32(width) + be32(height) + std::string("\x08\x06\x00\x00\x00", 5)) +
           chunk("IDAT");
}

// A grey PNG one row high of the given bit depth (8 or 16), its samples
// big-endian as the format has them, with a gAMA chunk when `gamma` > 0.
std::string grey_png(int depth, const std::vector<unsigned>& samples, double gamma)
{
    std::string row(1, '\0');  // filter type: none
    for (unsigned v : samples) {
        if (depth == 16) row += char(v >> 8);
        row += char(v & 0xff);
    }
    std::string packed(compressBound(uLong(row.size())), '\0');
    uLongf size = uLongf(packed.size());
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(row.data()),
             uLong(row.size()));
    packed.resize(size);
    std::string out = "\x89PNG\r\n\x1a\n" + chunk("IHDR" + be32(unsigned(samples.size())) + be32(1) +
                                                  std::string(1, char(depth)) + std::string("\x00\x00\x00\x00", 4));
    if (gamma > 0) out += chunk("gAMA" + be32((unsigned long)std::lround(gamma * 100000)));
    return out + chunk("IDAT" + packed) + chunk("IEND");
}

}  // namespace

TEST(TerrainBuilder, FaceOrderAndPositionsOfASmallGrid)
{
    Mesh m;
    const std::string out = build_quietly(m, Heightmap(), 3, 3.0f, 10.0f);
    EXPECT_NE(out.find("9, 8 \n"), std::string::npos) << out;
    std::vector<std::array<int, 3>> corners;
    for (const Face& f : m.faces) corners.push_back({f.vi[0], f.vi[1], f.vi[2]});
    EXPECT_EQ(corners, (std::vector<std::array<int, 3>>{
                           {0, 1, 2}, {0, 2, 3}, {3, 2, 4}, {3, 4, 5}, {1, 6, 7}, {1, 7, 2}, {2, 7, 8}, {2, 8, 4}}));
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

    Captured console;
    const std::string refused = printed(console, [&] {
        EXPECT_FALSE(build_terrain(m, Heightmap(), 0, 1, 1, console));
        EXPECT_FALSE(build_terrain(m, Heightmap(), max_terrain_resolution + 1, 1, 1, console));
    });
    EXPECT_NE(refused.find("outside 1..1024"), std::string::npos);
    EXPECT_EQ(m.nv, 1);
}

TEST(TerrainBuilder, FineGridsSampleEachPixelMoreThanOnce)
{
    // Columns alternate black and white; at 512 points a side, grid
    // columns 2c and 2c + 1 both read pixel column c.
    Heightmap h;
    for (std::size_t i = 0; i < h.rgb.size(); ++i) h.rgb[i] = i / 3 % 2 ? 255 : 0;
    Mesh m;
    build_quietly(m, h, 512, 512, 256);
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
    EXPECT_EQ(h.picture().width, 256);

    // A wide picture, left half black and right half white.
    RgbaImage wide = filled(8, 2, 0, 0, 0);
    for (int p = 0; p < 16; ++p)
        if (p % 8 >= 4) std::fill_n(&wide.pixels[std::size_t(p) * 4], 3, 255);
    h.load(wide);
    EXPECT_EQ(h.grey(10, 0), 0);
    EXPECT_EQ(h.grey(245, 255), 255);
    EXPECT_GT(h.grey(128, 128), h.grey(127, 128));
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

    // A text chunk claiming 1.5 GB in a file of 50 bytes is refused before
    // the decoder makes room for it, not after.
    const std::string liar = png_header(2, 2).substr(0, 33) + be32(1500000000) + "tEXtdate:create";
    error.clear();
    EXPECT_FALSE(read_png_memory(liar.data(), liar.size(), kept, error));
    EXPECT_EQ(error, "chunk \"tEXt\" claims 1500000000 bytes, more than the file has left");
}

TEST(Heightmap, SixteenBitAndGammaTaggedFilesKeepTheirSamples)
{
    // 256 columns, so the stretch to the heightmap's size keeps every
    // pixel; four bands of grey.
    const unsigned levels[4] = {8192, 16384, 32768, 49152};
    std::vector<unsigned> wide, narrow;
    for (int c = 0; c < 256; ++c) {
        wide.push_back(levels[c / 64]);
        narrow.push_back(levels[c / 64] >> 8);
    }
    struct Case {
        std::string file;
        float expected[4];
    };
    const Case cases[] = {
        // grey / 65535 * 255, not rounded: floors 31, 63, 127, 191.
        {grey_png(16, wide, 0),
         {8192 * 255.0f / 65535, 16384 * 255.0f / 65535, 32768 * 255.0f / 65535, 49152 * 255.0f / 65535}},
        {grey_png(16, wide, 1.0),
         {8192 * 255.0f / 65535, 16384 * 255.0f / 65535, 32768 * 255.0f / 65535, 49152 * 255.0f / 65535}},
        // An 8-bit file tagged with a linear gamma gives its own levels.
        {grey_png(8, narrow, 1.0), {32, 64, 128, 192}},
        {grey_png(8, narrow, 0.45455), {32, 64, 128, 192}},
    };
    for (const Case& c : cases) {
        RgbaImage image;
        std::string error;
        ASSERT_TRUE(read_png_memory(c.file.data(), c.file.size(), image, error)) << error;
        Heightmap h;
        h.load(image);
        Mesh m;
        build_quietly(m, h, 4, 4, 256);
        for (int k = 0; k < 4; ++k) {
            // Grid column k samples pixel column 64 k; y is the grey level.
            const Vector* v = nullptr;
            for (const Vector& p : m.vertices)
                if (p.z == 0.0f && std::lround(p.x) == k) v = &p;
            ASSERT_NE(v, nullptr);
            EXPECT_NEAR(v->y, c.expected[k], 0.001f) << k;
        }
    }
    // The preview still gets bytes.
    RgbaImage image;
    std::string error;
    const std::string file = grey_png(16, {65535, 0, 32896}, 0);
    ASSERT_TRUE(read_png_memory(file.data(), file.size(), image, error)) << error;
    EXPECT_EQ(image.wide,
              (std::vector<std::uint16_t>{65535, 65535, 65535, 65535, 0, 0, 0, 65535, 32896, 32896, 32896, 65535}));
    EXPECT_EQ(image.pixels, (std::vector<unsigned char>{255, 255, 255, 255, 0, 0, 0, 255, 128, 128, 128, 255}));
}
