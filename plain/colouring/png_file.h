#pragma once

#include <string>

#include "colouring/RgbaImage.h"

// PNG files through libpng, so the command-line tool needs no Qt. Any PNG
// colour type and depth is read as RGBA with the samples as stored: no
// gamma or colour-space conversion; 16-bit files keep their full samples
// beside the 8-bit ones (RgbaImage::wide).

// Images with more pixels than this are refused before any is decoded.
constexpr long long max_png_pixels = 64LL * 1024 * 1024;

// False with the reason in `error` when the file does not decode as a PNG;
// `image` is then left as it was.
bool read_png(const std::string& path, RgbaImage& image, std::string& error);
bool read_png_memory(const void* data, std::size_t size, RgbaImage& image, std::string& error);
// Writes the 8-bit pixels; the file is replaced only when written
// completely. False with the reason in `error`.
bool write_png(const std::string& path, const RgbaImage& image, std::string& error);
