#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Mesh.h"
#include "core/Vector.h"

// What undoing a step puts back: the whole mesh and the state of the engines
// that goes with it (the patches of the classification on show, the number
// of traversal groups made).
struct DocumentState {
    Mesh mesh;
    std::vector<int> seeds;
    std::vector<Vector> patch_colours;
    std::vector<std::vector<float>> probabilities;
    std::vector<std::pair<int, int>> neighbours;
    std::vector<int> face_patch;
    int max_patches = 0;
    int num_patches = 0;
    int group_count = 0;

    // About what the state holds in memory.
    std::size_t bytes() const { return estimate(mesh, probabilities); }
    // The same for a state of this mesh and these memberships, before it is made.
    static std::size_t estimate(const Mesh& mesh, const std::vector<std::vector<float>>& probabilities);
};

// The steps that can be undone and redone. Each step keeps the state it
// replaced; undoing exchanges it with the document's, so the same step then
// holds what redoing puts back. The kept states stay within `limit` bytes:
// the oldest steps go first.
class History {
public:
    struct Step {
        std::string name;    // "Simplify 75%", "Smooth", ...
        bool moves = false;  // the step may put the mesh elsewhere (reload, terrain)
        DocumentState state;
    };

    explicit History(std::size_t limit_bytes) : limit(limit_bytes) {}
    // A quarter of the memory the process may use.
    static std::size_t usual_limit();

    std::size_t limit;
    // Called after every change of the lists (a step added, undone, redone,
    // dropped, or everything forgotten).
    std::function<void()> changed;
    // How many times clear() ran, steps or not: a copy's history that was
    // cleared (a file opened, a step too large to keep) clears the
    // history of the document that adopts it.
    unsigned long clears = 0;

    // Whether a state of `bytes` could be kept at all.
    bool fits(std::size_t bytes) const { return bytes <= limit; }
    // Adds a step after the newest, forgets what could be redone, and drops
    // the oldest steps until the states fit; the names of those dropped.
    std::vector<std::string> push(std::unique_ptr<Step> step);
    // Undoes or redoes the newest step: `exchange` swaps the step's state
    // with the document's. False when there is none. Allocates before it
    // calls `exchange`, so a failure leaves everything as it was.
    bool undo(const std::function<void(Step&)>& exchange);
    bool redo(const std::function<void(Step&)>& exchange);
    // Forgets every step; counted in `clears`.
    void clear();
    // Takes the newest step out of the history, to keep it in another
    // (a copy's step into the document it was copied from); null when none.
    std::unique_ptr<Step> take_newest();

    bool can_undo() const { return !done.empty(); }
    bool can_redo() const { return !undone.empty(); }
    // The step the next undo or redo would take; empty when none.
    std::string undo_name() const { return can_undo() ? done.back()->name : std::string(); }
    std::string redo_name() const { return can_redo() ? undone.back()->name : std::string(); }
    std::size_t steps() const { return done.size() + undone.size(); }
    std::size_t bytes() const;

private:
    static bool move_newest(std::vector<std::unique_ptr<Step>>& from, std::vector<std::unique_ptr<Step>>& to,
                            const std::function<void(Step&)>& exchange);
    std::vector<std::string> drop_oldest();
    void tell() const;

    std::vector<std::unique_ptr<Step>> done;    // oldest first
    std::vector<std::unique_ptr<Step>> undone;  // the next redo last
};
