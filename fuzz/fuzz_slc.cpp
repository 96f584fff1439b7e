// libFuzzer target: the plane file reader into a cube with a selected
// plane, then a tilt drag and a save of whatever the cube holds.
#include <cstdio>

#include "clipping/PlaneWidgetInCube.h"
#include "core/Messages.h"
#include "fuzz/LoadAndSave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input = write_input(data, size, ".slc");
    Messages console;
    PlaneWidgetInCube cube;
    cube.resize_cube(256.0f);
    cube.toggle_plane(2);
    cube.load(input, console);
    cube.mouse_press(Vector(120, 130, 0), 1);
    cube.mouse_move(Vector(333, 351, 0));
    cube.mouse_release();
    cube.save(work_file("output.slc"), console);
    std::remove(input.c_str());
    return 0;
}
