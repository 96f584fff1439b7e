#include "colouring/png_file.h"

#include <cstdio>

#include <png.h>

namespace {

// Finishes a read started on `png`: checks the size, then decodes into a
// fresh buffer so that a failure leaves `image` untouched.
bool finish_read(bool begun, png_image& png, RgbaImage& image, std::string& error)
{
    if (!begun) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    if (png.width == 0 || png.height == 0 || (long long)png.width * png.height > max_png_pixels) {
        error = "image of " + std::to_string(png.width) + " by " + std::to_string(png.height) +
                " pixels is too large (at most " + std::to_string(max_png_pixels) + " pixels)";
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    RgbaImage fresh;
    fresh.width = int(png.width);
    fresh.height = int(png.height);
    fresh.pixels.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, fresh.pixels.data(), 0, nullptr)) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    image = std::move(fresh);
    return true;
}

}  // namespace

bool read_png(const std::string& path, RgbaImage& image, std::string& error)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    const bool begun = png_image_begin_read_from_file(&png, path.c_str()) != 0;
    return finish_read(begun, png, image, error);
}

bool read_png_memory(const void* data, std::size_t size, RgbaImage& image, std::string& error)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    const bool begun = png_image_begin_read_from_memory(&png, data, size) != 0;
    return finish_read(begun, png, image, error);
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
    if (!png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr)) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}
