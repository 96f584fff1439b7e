#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Face-to-face distances of a mesh, one float per unordered pair: a packed
// lower triangle with the diagonal, row a holding the pairs (a, 0) ... (a, a).
// The array is n*n/2 + n floats long (integer part), so it ends with n/2
// spare floats that belong to no pair; they are kept at 0 so that a saved
// table has the same size as the tables other builds of this program write.
class ShortestPathTable {
public:
    // Distance given to faces in different connected parts.
    static constexpr float unreachable = 1e9f;
    // Largest face count whose table is built (98,308,241 floats, 375 MB).
    static constexpr int max_faces = 14021;

    int n = 0;
    std::int64_t entries = 0;
    std::vector<float> dist;

    static std::int64_t entries_for(int faces) { return std::int64_t(faces) * faces / 2 + faces; }
    static std::int64_t row_start(int a) { return std::int64_t(a) * (a + 1) / 2; }
    static std::int64_t index(int a, int b) { return a < b ? row_start(b) + a : row_start(a) + b; }

    float get(int a, int b) const { return dist[std::size_t(index(a, b))]; }
    void set(int a, int b, float d) { dist[std::size_t(index(a, b))] = d; }
    // Row a: the distances from face a to faces 0 ... a.
    const float* row(int a) const { return dist.data() + row_start(a); }
    float* row(int a) { return dist.data() + row_start(a); }

    // Sizes the table for `faces` faces, every float 0. The old array is
    // released first so two tables never coexist.
    void allocate(int faces);
    void release();

    // Outcome of reading or writing a table file; `problem` says what went
    // wrong in a few words.
    struct FileResult {
        enum Status { Done, NotOpened, Failed } status = Done;
        std::string problem;
    };

    // Binary file of `entries` little-endian 32-bit floats, no header.
    FileResult write(const std::string& path) const;
    // Reads a table for `faces` faces into `into` (left untouched on failure).
    // The file must be exactly the table's size, every pair a distance
    // (not negative, not NaN) and every face at distance 0 from itself.
    static FileResult read(const std::string& path, int faces, ShortestPathTable& into);
};
