#pragma once

#include <initializer_list>
#include <string>
#include <vector>

class MeshDocument;
class Messages;

// Subcommands of halvane-tool. Each takes its own arguments (without the
// subcommand name) and returns the exit status: 0 success, 1 a read or write
// failure (standard output included), 2 bad usage (after one line saying
// what was wrong; an output that is an input or of the wrong kind is bad
// usage, refused before anything is read). Each verb
// runs through a MeshDocument reporting to the console, with the same
// operations as the window.
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
// Opens a mesh into the document as the window does; false (after the
// reader's own message, or one naming an unknown format) when nothing usable
// was read.
bool load_for_tool(MeshDocument& document, const std::string& path);
// Saves the document's mesh (binary PLY for a ".ply" name, else OBJ);
// false (after one line naming `source`, the file the mesh came from) when
// it has no vertices or no faces, which the writers refuse, or when the
// writer failed.
bool write_for_tool(MeshDocument& document, const std::string& path, const std::string& source);
// Checks an output before anything is read: the usage status 2 (after one
// line) when it is one of `inputs` or does not end in one of `extensions`
// (letter case aside), else 0. A device or pipe (/dev/stdout) is taken
// whatever its name. With no extensions the output is a folder, which must
// not be an existing file.
int refuse_output(const std::string& output, const Arguments& inputs, std::initializer_list<const char*> extensions);
// Makes an output folder and its parents; false after one line with the
// system's reason.
bool make_folder(const std::string& folder, Messages& messages);
// Reads a whole argument as a number; false when any of it is not one.
bool parse_int(const std::string& text, int& value);
bool parse_float(const std::string& text, float& value);
