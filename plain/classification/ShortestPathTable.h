#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Face-to-face distances of a mesh, one value per unordered pair: a packed
// lower triangle with the diagonal, row a holding the pairs (a, 0) ... (a, a).
// The array is n*n/2 + n values long (integer part), so it ends with n/2
// spare values that belong to no pair; they are kept at 0 so that a saved
// table has the same size as the tables other builds of this program write.
//
// Step counts (the breadth-first table) are held compactly, two bytes a
// pair, whenever the mesh has few enough faces that every count fits;
// other distances, and every table of a bigger mesh, as floats. Both read
// back the same floats through get() and floats(), and the file is floats.
class ShortestPathTable {
public:
    // Distance given to faces in different connected parts.
    static constexpr float unreachable = 1e9f;
    // The compact form's mark for "unreachable"; smaller values are counts.
    static constexpr std::uint16_t no_path = 0xffff;
    // Most faces whose step counts all fit the compact form: a path visits
    // each face at most once, so it has at most faces - 1 steps.
    static constexpr int max_compact_faces = no_path;

    int n = 0;
    std::int64_t entries = 0;
    bool compact = false;              // which array holds the pairs
    std::vector<float> dist;           // the pairs as floats, unless compact
    std::vector<std::uint16_t> steps;  // the pairs as step counts, when compact

    static std::int64_t entries_for(int faces) { return std::int64_t(faces) * faces / 2 + faces; }
    static std::int64_t row_start(int a) { return std::int64_t(a) * (a + 1) / 2; }
    static std::int64_t index(int a, int b) { return a < b ? row_start(b) + a : row_start(a) + b; }
    // Bytes of a table of `faces` faces, compact when `counts` (step counts
    // only) and the faces allow it.
    static double bytes_for(int faces, bool counts);
    static bool can_be_compact(int faces) { return faces <= max_compact_faces; }

    static float decode(std::uint16_t s) { return s == no_path ? unreachable : float(s); }

    float get(int a, int b) const
    {
        const std::size_t i = std::size_t(index(a, b));
        return compact ? decode(steps[i]) : dist[i];
    }
    // Stores a distance; a compact table that is given something other than
    // a step count or `unreachable` turns into floats first.
    void set(int a, int b, float d);
    // Row a: the distances from face a to faces 0 ... a, in the form held.
    const float* row(int a) const { return dist.data() + row_start(a); }
    float* row(int a) { return dist.data() + row_start(a); }
    const std::uint16_t* step_row(int a) const { return steps.data() + row_start(a); }
    std::uint16_t* step_row(int a) { return steps.data() + row_start(a); }
    // Every value as a float, spare ones included: what the file holds.
    std::vector<float> floats() const;

    // Sizes the table for `faces` faces, every value 0, compact when
    // `counts` and the face count allow it. The old arrays are released
    // first so two tables never coexist.
    void allocate(int faces, bool counts = false);
    void release();

    // Outcome of reading or writing a table file; `problem` says what went
    // wrong in a few words.
    struct FileResult {
        enum Status { Done, NotOpened, Failed } status = Done;
        std::string problem;
    };

    // Binary file of `entries` little-endian 32-bit floats, no header.
    FileResult write(const std::string& path) const;
    // Reads a table for `faces` faces into `into` (left untouched on failure),
    // compact when every value is a step count that fits. The file must be
    // exactly the table's size, every pair a distance (not negative, not
    // NaN) and every face at distance 0 from itself.
    static FileResult read(const std::string& path, int faces, ShortestPathTable& into);

private:
    void widen();
};
