// halvane-tool: the mesh engines without the window.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "Commands.h"
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
    {"convert", "convert IN OUT.obj", cmd_convert},
    {"subdivide", "subdivide --level L [--weight W] IN OUT.obj", cmd_subdivide},
    {"simplify", "simplify --percent P IN OUT.obj", cmd_simplify},
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
    switch (document.open(path)) {
    case LoadResult::Loaded: return true;
    case LoadResult::Failed: return false;
    case LoadResult::NotAMesh:
        document.messages.error_on_stderr("ERROR: " + path + ": not an OBJ or net file name\n", path);
        return false;
    }
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
        try {
            return c.run(Arguments(argv + 2, argv + argc));
        } catch (const std::bad_alloc&) {
            std::fprintf(stderr, "halvane-tool: not enough memory to run %s\n", c.name);
            return 1;
        }
    }
    return usage_error(std::string("unknown command \"") + argv[1] + "\" (try halvane-tool help)");
}
