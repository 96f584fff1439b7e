#include "colouring/png_file.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <png.h>

#include "core/AtomicFile.h"
#include "core/text_file.h"

namespace {

// Where the decoder takes its bytes from, and what it says on an error.
struct Source {
    const unsigned char* data;
    std::size_t size;
    std::size_t pos = 0;
    std::string error;
    std::jmp_buf jump;
};

void read_bytes(png_structp png, png_bytep out, png_size_t count)
{
    auto* s = static_cast<Source*>(png_get_io_ptr(png));
    if (s->size - s->pos < count) png_error(png, "the file ends inside the picture");
    std::memcpy(out, s->data + s->pos, count);
    s->pos += count;
}

[[noreturn]] void on_error(png_structp png, png_const_charp message)
{
    auto* s = static_cast<Source*>(png_get_error_ptr(png));
    s->error = message;
    std::longjmp(s->jump, 1);
}

void on_warning(png_structp, png_const_charp) {}

// The decoding proper. libpng leaves by longjmp on an error, so nothing here
// owns memory: the rows go into `samples`, which the caller owns, and every
// object this frame touches after setjmp lives in `source` or `samples`.
bool decode(Source& source, png_structp png, png_infop info, std::vector<unsigned char>& samples, png_uint_32& width,
            png_uint_32& height, int& depth, std::vector<png_bytep>& rows)
{
    if (setjmp(source.jump)) return false;
    png_set_read_fn(png, &source, read_bytes);
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || (long long)width * height > max_png_pixels) {
        source.error = "image of " + std::to_string(width) + " by " + std::to_string(height) +
                       " pixels is too large (at most " + std::to_string(max_png_pixels) + " pixels)";
        return false;
    }
    // Palettes, low grey depths and transparency colours become plain
    // channels; the samples are otherwise taken as they are stored: no
    // gamma, no colour space, no reduction of 16 bits to 8.
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xffff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    depth = png_get_bit_depth(png, info);
    const std::size_t row_bytes = png_get_rowbytes(png, info);
    if (row_bytes != std::size_t(width) * 4 * (depth == 16 ? 2 : 1)) {
        source.error = "unexpected sample layout";
        return false;
    }
    samples.resize(row_bytes * height);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = samples.data() + y * row_bytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

// A chunk type as text for a message: bytes that are not printable as '?'.
std::string printable(std::string type)
{
    for (char& c : type)
        if (c < 0x20 || c > 0x7e) c = '?';
    return type;
}

// Whether every chunk up to the end chunk lies inside the file. libpng makes
// room for a chunk from the length the chunk claims before it reads it, so
// a text chunk of a few bytes claiming 1.7 GB would have it allocate 1.7 GB.
bool chunks_fit(const unsigned char* data, std::size_t size, std::string& error)
{
    std::size_t pos = 8;
    while (size - pos >= 8) {
        const unsigned long length = png_get_uint_32(data + pos);
        const std::string type(reinterpret_cast<const char*>(data + pos + 4), 4);
        if (length > size - pos - 8 || size - pos - 8 - length < 4) {
            error = "chunk \"" + printable(type) + "\" claims " + std::to_string(length) +
                    " bytes, more than the file has left";
            return false;
        }
        if (type == "IEND") return true;
        pos += 12 + length;
    }
    return true;  // no end chunk: libpng says what is missing
}

}  // namespace

bool read_png(const std::string& path, RgbaImage& image, std::string& error)
{
    std::string bytes, problem;
    if (!read_text_file(path, bytes, &problem)) {
        error = problem;
        return false;
    }
    return read_png_memory(bytes.data(), bytes.size(), image, error);
}

bool read_png_memory(const void* data, std::size_t size, RgbaImage& image, std::string& error)
{
    Source source{static_cast<const unsigned char*>(data), size, 0, {}, {}};
    if (size < 8 || png_sig_cmp(source.data, 0, 8) != 0) {
        error = "not a PNG file";
        return false;
    }
    if (!chunks_fit(source.data, size, error)) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, on_error, on_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = "out of memory";
        return false;
    }
    std::vector<unsigned char> samples;
    std::vector<png_bytep> rows;
    png_uint_32 width = 0, height = 0;
    int depth = 8;
    const bool decoded = decode(source, png, info, samples, width, height, depth, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!decoded) {
        error = source.error;
        return false;
    }

    RgbaImage fresh;
    fresh.width = int(width);
    fresh.height = int(height);
    const std::size_t count = std::size_t(width) * height * 4;
    if (depth == 16) {
        fresh.wide.resize(count);
        fresh.pixels.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned v = unsigned(samples[2 * i]) << 8 | samples[2 * i + 1];
            fresh.wide[i] = std::uint16_t(v);
            fresh.pixels[i] = (unsigned char)((v * 255 + 32767) / 65535);
        }
    } else {
        fresh.pixels = std::move(samples);
    }
    image = std::move(fresh);
    return true;
}

bool write_png(const std::string& path, const RgbaImage& image, std::string& error)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.width);
    png.height = png_uint_32(image.height);
    png.format = PNG_FORMAT_RGBA;
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != std::size_t(image.width) * std::size_t(image.height) * 4) {
        error = "the image has no pixels or its buffer does not match its size";
        return false;
    }
    // Encoded in memory first, so the file is written in one piece.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, image.pixels.data(), 0, nullptr)) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    std::vector<unsigned char> encoded(size);
    if (!png_image_write_to_memory(&png, encoded.data(), &size, 0, image.pixels.data(), 0, nullptr)) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    std::string problem;
    if (!write_file_atomically(path, std::string_view(reinterpret_cast<const char*>(encoded.data()), size), problem)) {
        error = problem;
        return false;
    }
    return true;
}
