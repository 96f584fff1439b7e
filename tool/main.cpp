// halvane-tool: the mesh engines without the window.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>

#include "Commands.h"
#include "core/load_mesh_file.h"
#include "core/Messages.h"
#include "document/MeshDocument.h"

namespace {

struct Command {
    const char* name;
    const char* synopsis;
    int (*run)(const Arguments&);
};

const Command commands[] = {
    {"info", "info FILE", cmd_info},
    {"convert", "convert IN OUT.obj|OUT.ply", cmd_convert},
    {"subdivide", "subdivide --level L [--weight W] IN OUT.obj|OUT.ply", cmd_subdivide},
    {"simplify", "simplify --percent P IN OUT.obj|OUT.ply", cmd_simplify},
    {"smooth", "smooth --method mean-shift|sphere-jump|median --radius R IN OUT.txt", cmd_smooth},
    {"segment", "segment IN --seed FACE --depth D --angle A [--seed FACE ...]... OUT_DIR", cmd_segment},
    {"colour", "colour IN.obj SETTINGS.mor OUT.ply [--binary]", cmd_colour},
    {"terrain",
     "terrain HEIGHTMAP.png [--resolution N] [--scale S] [--height H] [--map FILE.map] [--binary] OUT.obj|OUT.ply",
     cmd_terrain},
    {"classify",
     "classify IN.obj [--patches K] [--weight W] [--mode floyd|dijkstra] [--save-table F.spt | --load-table F.spt] "
     "OUT_DIR",
     cmd_classify},
};

void print_usage(std::FILE* to)
{
    std::fprintf(to, "usage: halvane-tool COMMAND ARGS...\ncommands:\n");
    for (const Command& c : commands) std::fprintf(to, "  %s\n", c.synopsis);
}

}  // namespace

int usage_error(const std::string& message)
{
    std::fprintf(stderr, "halvane-tool: %s\n", message.c_str());
    return 2;
}

bool load_for_tool(MeshDocument& document, const std::string& path)
{
    // The document names a file no reader takes.
    return document.open(path) == LoadResult::Loaded;
}

namespace {

bool is_device(const std::string& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
           !std::filesystem::is_directory(status);
}

bool same_file(const std::string& a, const std::string& b)
{
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    const auto ca = std::filesystem::weakly_canonical(a, ec);
    if (ec) return a == b;
    const auto cb = std::filesystem::weakly_canonical(b, ec);
    return ec ? a == b : ca == cb;
}

}  // namespace

int refuse_output(const std::string& output, const Arguments& inputs, std::initializer_list<const char*> extensions)
{
    for (const std::string& input : inputs)
        if (!input.empty() && same_file(output, input) && !is_device(output))
            return usage_error("the output " + output + " is also an input; nothing was read or written");
    if (extensions.size() == 0) {
        std::error_code ec;
        if (std::filesystem::exists(output, ec) && !std::filesystem::is_directory(output, ec))
            return usage_error("the output folder " + output + " is a file; nothing was read or written");
        return 0;
    }
    if (is_device(output)) return 0;
    std::string names;
    for (const char* e : extensions) {
        if (has_extension(output, e)) return 0;
        names += names.empty() ? e : std::string(" or ") + e;
    }
    return usage_error("the output " + output + " must end in " + names + "; nothing was read or written");
}

bool make_folder(const std::string& folder, Messages& messages)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!ec) return true;
    messages.error_on_stderr("ERROR: could not make the folder " + folder + ": " + ec.message() + "\n", folder);
    return false;
}

bool write_for_tool(MeshDocument& document, const std::string& path, const std::string& source)
{
    const Mesh& mesh = document.mesh;
    if (mesh.nv == 0 || mesh.nf == 0) {
        document.save(path);
        document.messages.error_on_stderr(
            "ERROR: " + source + ": the mesh has no vertices or no faces; nothing written\n", source);
        return false;
    }
    return document.save(path);
}

bool parse_int(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    return !text.empty() && r.ec == std::errc() && r.ptr == end;
}

bool parse_float(const std::string& text, float& value)
{
    const char* first = text.data() + (!text.empty() && text[0] == '+');
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(first, end, value);
    return first != end && r.ec == std::errc() && r.ptr == end;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        print_usage(stderr);
        return 2;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "help")) {
        print_usage(stdout);
        return 0;
    }
    for (const Command& c : commands) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        // The document's operations report memory running out themselves;
        // this catches what a verb allocates around them.
        int status = 1;
        try {
            status = c.run(Arguments(argv + 2, argv + argc));
        } catch (const std::bad_alloc&) {
            std::fprintf(stderr, "halvane-tool: not enough memory to run %s\n", c.name);
            return 1;
        }
        // What the verb printed must have reached its destination, a full
        // disk or a closed pipe included.
        errno = 0;
        const bool flushed = std::fflush(stdout) == 0;
        const int error = errno;
        if (flushed && !std::ferror(stdout)) return status;
        std::fprintf(stderr, "ERROR: could not write the standard output: %s\n",
                     error ? std::strerror(error) : "a write failed");
        return 1;
    }
    return usage_error(std::string("unknown command \"") + argv[1] + "\" (try halvane-tool help)");
}
