#pragma once

#include <string>

class Messages;

// Reads a whole file into `text`. False when the file cannot be opened or
// read; then `problem`, when given, says why in a few words ("is a
// directory", "is larger than the memory this process may use", "could not be read"),
// or is left empty when the file could not be opened at all.
bool read_text_file(const std::string& path, std::string& text, std::string* problem = nullptr);
// read_text_file that reports a failure as an error on standard error:
// `prefix` and the path, then why in parentheses when the file opened but
// could not be read.
bool read_text_file_or_report(const std::string& path, std::string& text, const char* prefix, Messages& out);

// Appends the shortest text that reads back to exactly `value`.
void append_float(std::string& out, float value);
std::string float_text(float value);

// What write_text_file did.
enum class WriteResult { Written, NotOpened, Incomplete };

// Replaces the file's content with `text`, checking the open, every write and the close.
WriteResult write_text_file(const std::string& path, const std::string& text);
