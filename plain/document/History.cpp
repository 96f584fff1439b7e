#include "document/History.h"

#include "core/memory_limits.h"

std::size_t DocumentState::estimate(const Mesh& mesh, const std::vector<std::vector<float>>& probabilities)
{
    const double morphogens = mesh.morphogen_values.empty() ? 0.0 : double(mesh.morphogen_values[0].size());
    // The face patches and the seeds' lists are small beside a face array.
    double total = mesh_bytes(mesh.nv, mesh.nf, morphogens) + edge_list_bytes(mesh.nv, mesh.nf, mesh.edge_count) +
                   2.0 * sizeof(int) * double(mesh.nf);
    for (const std::vector<float>& p : probabilities) total += double(p.size() * sizeof(float));
    return std::size_t(total) + sizeof(DocumentState);
}

std::size_t History::usual_limit()
{
    return usable_memory() / 4;
}

std::vector<std::string> History::push(std::unique_ptr<Step> step)
{
    undone.clear();
    done.push_back(std::move(step));
    std::vector<std::string> dropped = drop_oldest();
    tell();
    return dropped;
}

bool History::move_newest(std::vector<std::unique_ptr<Step>>& from, std::vector<std::unique_ptr<Step>>& to,
                          const std::function<void(Step&)>& exchange)
{
    if (from.empty()) return false;
    to.reserve(to.size() + 1);
    std::unique_ptr<Step> step = std::move(from.back());
    from.pop_back();
    exchange(*step);
    to.push_back(std::move(step));
    return true;
}

bool History::undo(const std::function<void(Step&)>& exchange)
{
    if (!move_newest(done, undone, exchange)) return false;
    // The state kept for redoing may be larger than the one it replaced.
    drop_oldest();
    tell();
    return true;
}

bool History::redo(const std::function<void(Step&)>& exchange)
{
    if (!move_newest(undone, done, exchange)) return false;
    drop_oldest();
    tell();
    return true;
}

std::unique_ptr<History::Step> History::take_newest()
{
    if (done.empty()) return nullptr;
    std::unique_ptr<Step> step = std::move(done.back());
    done.pop_back();
    return step;
}

void History::clear()
{
    ++clears;
    if (done.empty() && undone.empty()) return;
    done.clear();
    undone.clear();
    tell();
}

std::size_t History::bytes() const
{
    std::size_t total = 0;
    for (const auto& step : done) total += step->state.bytes();
    for (const auto& step : undone) total += step->state.bytes();
    return total;
}

std::vector<std::string> History::drop_oldest()
{
    std::vector<std::string> dropped;
    std::size_t total = bytes();
    std::size_t n = 0;
    while (total > limit && n < done.size()) {
        total -= done[n]->state.bytes();
        dropped.push_back(done[n]->name);
        ++n;
    }
    done.erase(done.begin(), done.begin() + std::ptrdiff_t(n));
    return dropped;
}

void History::tell() const
{
    if (changed) changed();
}
