#pragma once

#include <vector>

// The vertices waiting to collapse, cheapest first. Among equal costs the
// lowest vertex number comes first: the vertex list keeps the original order
// when vertices are removed, so that is the first cheapest vertex in the list.
// An indexed four-way heap holding each cost beside its vertex: a changed
// cost moves its vertex in log time. Costs must not be NaN.
class CollapseQueue {
public:
    // Queues vertex i with cost costs[i] for every i.
    void reset(const std::vector<float>& costs);
    bool empty() const { return heap.empty(); }
    int top() const { return heap.front().vertex; }
    void pop();
    // New cost for a queued vertex.
    void update(int v, float cost);

private:
    struct Entry {
        float cost;
        int vertex;
        bool operator<(const Entry& o) const { return cost < o.cost || (cost == o.cost && vertex < o.vertex); }
    };
    void sift_up(std::size_t at, Entry e);
    void sift_down(std::size_t at, Entry e);
    void place(std::size_t at, const Entry& e)
    {
        heap[at] = e;
        where[e.vertex] = int(at);
    }

    std::vector<Entry> heap;
    std::vector<int> where;  // position of each vertex in heap, -1 when gone
};
