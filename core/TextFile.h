#pragma once

#include <string>

// Reads a whole file into `text`. False when the file cannot be opened or read.
bool read_text_file(const std::string& path, std::string& text);

// Appends the shortest text that reads back to exactly `value`.
void append_float(std::string& out, float value);
std::string float_text(float value);

// What write_text_file did.
enum class WriteResult { Written, NotOpened, Incomplete };

// Replaces the file's content with `text`, checking the open, every write and the close.
WriteResult write_text_file(const std::string& path, const std::string& text);
