// libFuzzer target: the shortest-path table reader. The first byte gives
// the face count of the mesh the table is read for (0 to 63), the rest is
// the file. A table that is read is written and read back, and must come
// back the same.
#include <cstdio>
#include <cstring>

#include "classification/ShortestPathTable.h"
#include "fuzz/LoadAndSave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const int faces = data[0] % 64;
    const std::string input = write_input(data + 1, size - 1, ".spt");
    ShortestPathTable table;
    if (ShortestPathTable::read(input, faces, table).status == ShortestPathTable::FileResult::Done) {
        // Step counts come back compact, other distances as floats.
        const std::size_t held = table.compact ? table.steps.size() : table.dist.size();
        if (table.n != faces || held != std::size_t(ShortestPathTable::entries_for(faces))) __builtin_trap();
        const std::string output = work_file("output.spt");
        ShortestPathTable back;
        if (table.write(output).status != ShortestPathTable::FileResult::Done ||
            ShortestPathTable::read(output, faces, back).status != ShortestPathTable::FileResult::Done)
            __builtin_trap();
        for (int a = 0; a < faces; ++a)
            for (int b = 0; b <= a; ++b) {
                const float was = table.get(a, b), now = back.get(a, b);
                if (std::memcmp(&was, &now, sizeof was) != 0) __builtin_trap();
            }
    }
    std::remove(input.c_str());
    return 0;
}
