#pragma once

#include <string>
#include <vector>

class Mesh;

// Subcommands of halvane-tool. Each takes its own arguments (without the
// subcommand name) and returns the exit status: 0 success, 1 a read or write
// failure, 2 bad usage (after one line saying what was wrong).
using Arguments = std::vector<std::string>;

int cmd_info(const Arguments& args);
int cmd_convert(const Arguments& args);
int cmd_subdivide(const Arguments& args);
int cmd_simplify(const Arguments& args);
int cmd_smooth(const Arguments& args);
int cmd_segment(const Arguments& args);
int cmd_colour(const Arguments& args);
int cmd_terrain(const Arguments& args);
int cmd_classify(const Arguments& args);

// Shared by the subcommands.
int usage_error(const std::string& message);
// Loads a mesh exactly as the view does; false (after the reader's own
// message, or one naming an unknown format) when nothing usable was read.
bool load_for_tool(Mesh& mesh, const std::string& path);
// Reads a whole argument as a number; false when any of it is not one.
bool parse_int(const std::string& text, int& value);
bool parse_float(const std::string& text, float& value);
