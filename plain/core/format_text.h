#pragma once

#include <string>

// printf into a string, for the console texts that keep printf's formats
// ("%f", "%.2f", "%g") exactly.
std::string format_text(const char* format, ...) __attribute__((format(printf, 1, 2)));
