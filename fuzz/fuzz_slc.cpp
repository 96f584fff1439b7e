// libFuzzer target: the plane file reader into a cube with a selected
// plane, then a tilt drag and a save of whatever the cube holds. A file the
// reader takes is saved, read into a fresh cube and saved again: the two
// saves must be the same text.
#include <cstdio>

#include "clipping/PlaneWidgetInCube.h"
#include "core/MessageLog.h"
#include "core/Messages.h"
#include "fuzz/LoadAndSave.h"

namespace {

std::string saved_text(const PlaneWidgetInCube& cube, const std::string& path, Messages& out)
{
    cube.save(path, out);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) __builtin_trap();
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, got);
    std::fclose(f);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input = write_input(data, size, ".slc");
    MessageLog log;
    Messages console(log);
    PlaneWidgetInCube cube;
    cube.resize_cube(256.0f);
    cube.toggle_plane(2);
    cube.load(input, console);
    if (log.messages.empty()) {
        PlaneWidgetInCube again;
        again.resize_cube(256.0f);
        const std::string first = saved_text(cube, work_file("first.slc"), console);
        again.load(work_file("first.slc"), console);
        if (!log.messages.empty() || saved_text(again, work_file("second.slc"), console) != first) __builtin_trap();
    }
    cube.mouse_press(Vector(120, 130, 0), 1);
    cube.mouse_move(Vector(333, 351, 0));
    cube.mouse_release();
    cube.save(work_file("output.slc"), console);
    std::remove(input.c_str());
    return 0;
}
