#pragma once

#include <string>

class Messages;
struct Vector;

// Reads a whole file into `text`. False when the file cannot be opened or
// read; then `problem`, when given, says why in a few words: the system's
// reason ("No such file or directory", "Permission denied") or "is a
// directory", "is larger than the memory this process may use", "could not be read".
bool read_text_file(const std::string& path, std::string& text, std::string* problem = nullptr);
// read_text_file that reports a failure as an error on standard error:
// `prefix` and the path, then why in parentheses.
bool read_text_file_or_report(const std::string& path, std::string& text, const char* prefix, Messages& out);

// A designed error text followed by the file and the reason, as one line:
// file_error_line("ERROR!!!", "ColourMaps/hills.map", "No such file or
// directory") is "ERROR!!! ColourMaps/hills.map: No such file or directory\n".
std::string file_error_line(const std::string& designed, const std::string& path, const std::string& reason);

// Appends the shortest text that reads back to exactly `value`.
void append_float(std::string& out, float value);
// Appends "x y z" of `v` that way.
void append_xyz(std::string& out, const Vector& v);
std::string float_text(float value);
