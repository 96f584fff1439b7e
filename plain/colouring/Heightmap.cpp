#include "colouring/Heightmap.h"

#include <algorithm>
#include <cmath>

namespace {

struct Tap {
    int index;
    float weight;
};

// For each of `to` output samples, the input samples (of `from`) it draws on.
std::vector<std::vector<Tap>> resample_taps(int from, int to)
{
    std::vector<std::vector<Tap>> taps(std::size_t(std::max(to, 0)));
    const double ratio = double(from) / double(to);
    for (int i = 0; i < to; ++i) {
        std::vector<Tap>& t = taps[std::size_t(i)];
        if (from >= to) {
            // Shrinking: the mean over the input span the output pixel covers.
            const double a = i * ratio, b = (i + 1) * ratio;
            for (int k = int(std::floor(a)); k < int(std::ceil(b)) && k < from; ++k) {
                const double overlap = std::min(b, double(k + 1)) - std::max(a, double(k));
                if (overlap > 0.0) t.push_back({k, float(overlap / ratio)});
            }
        } else {
            // Growing: linear between the two nearest pixel centres.
            const double p = std::clamp((i + 0.5) * ratio - 0.5, 0.0, double(from - 1));
            const int k = int(std::floor(p));
            const float f = float(p - k);
            t.push_back({k, 1.0f - f});
            if (f > 0.0f) t.push_back({std::min(k + 1, from - 1), f});
        }
    }
    return taps;
}

}  // namespace

// Stretches four-channel samples to width by height, rows first, then
// columns; the result in floats, on the samples' own scale.
template <typename Sample>
std::vector<float> stretch(const Sample* samples, int from_width, int from_height, int width, int height)
{
    std::vector<float> out(std::size_t(width) * height * 4, 0.0f);
    if (from_width <= 0 || from_height <= 0 || width <= 0 || height <= 0) return out;
    const auto across = resample_taps(from_width, width);
    const auto down = resample_taps(from_height, height);
    std::vector<float> rows(std::size_t(from_height) * width * 4, 0.0f);
    for (int y = 0; y < from_height; ++y)
        for (int x = 0; x < width; ++x) {
            float* o = &rows[(std::size_t(y) * width + x) * 4];
            for (const Tap& t : across[std::size_t(x)]) {
                const Sample* p = samples + (std::size_t(y) * from_width + t.index) * 4;
                for (int ch = 0; ch < 4; ++ch) o[ch] += t.weight * float(p[ch]);
            }
        }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float* o = &out[(std::size_t(y) * width + x) * 4];
            for (const Tap& t : down[std::size_t(y)]) {
                const float* p = &rows[(std::size_t(t.index) * width + x) * 4];
                for (int ch = 0; ch < 4; ++ch) o[ch] += t.weight * p[ch];
            }
        }
    return out;
}

RgbaImage scale_smooth(const RgbaImage& image, int width, int height)
{
    RgbaImage out;
    out.width = width;
    out.height = height;
    out.pixels.assign(std::size_t(width) * height * 4, 0);
    if (image.width <= 0 || image.height <= 0 || width <= 0 || height <= 0) return out;
    const std::vector<float> sums = stretch(image.pixels.data(), image.width, image.height, width, height);
    for (std::size_t i = 0; i < sums.size(); ++i)
        out.pixels[i] = (unsigned char)std::clamp(std::lround(sums[i]), 0L, 255L);
    return out;
}

void Heightmap::load(const RgbaImage& image)
{
    const RgbaImage scaled = scale_smooth(image, size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const unsigned char* p = scaled.at(x, y);
            unsigned char* o = &rgb[(std::size_t(y) * size + x) * 3];
            const int alpha = p[3];
            o[0] = (unsigned char)((p[2] * alpha + 127) / 255);
            o[1] = (unsigned char)((p[1] * alpha + 127) / 255);
            o[2] = (unsigned char)((p[0] * alpha + 127) / 255);
        }
    fine.clear();
    if (image.wide.empty() || image.wide.size() != std::size_t(image.width) * image.height * 4) return;
    // Sixteen-bit samples keep their precision: the grey formula on the
    // channels scaled to 0..255 as floats, without rounding.
    const std::vector<float> sums = stretch(image.wide.data(), image.width, image.height, size, size);
    const float to_bytes = 255.0f / 65535.0f;
    fine.resize(std::size_t(size) * size);
    for (std::size_t i = 0; i < fine.size(); ++i) {
        const float* p = &sums[i * 4];
        const float alpha = std::clamp(p[3] / 65535.0f, 0.0f, 1.0f);
        const float r = p[0] * to_bytes * alpha, g = p[1] * to_bytes * alpha, b = p[2] * to_bytes * alpha;
        // Red and blue exchanged, as in the stored picture.
        fine[i] = std::clamp((11.0f * b + 16.0f * g + 5.0f * r) / 32.0f, 0.0f, 255.0f);
    }
}

float Heightmap::grey(int x, int y) const
{
    if (!fine.empty()) return fine[std::size_t(y) * size + x];
    const unsigned char* p = &rgb[(std::size_t(y) * size + x) * 3];
    return float((11 * p[0] + 16 * p[1] + 5 * p[2]) / 32);
}

RgbaImage Heightmap::picture() const
{
    RgbaImage out;
    out.width = out.height = size;
    out.pixels.resize(std::size_t(size) * size * 4);
    for (std::size_t i = 0; i < std::size_t(size) * size; ++i) {
        out.pixels[i * 4] = rgb[i * 3];
        out.pixels[i * 4 + 1] = rgb[i * 3 + 1];
        out.pixels[i * 4 + 2] = rgb[i * 3 + 2];
        out.pixels[i * 4 + 3] = 255;
    }
    return out;
}
