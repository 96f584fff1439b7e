#pragma once

#include <vector>

// The vertices waiting to collapse, cheapest first. Among equal costs the
// lowest vertex number comes first: the vertex list keeps the original order
// when vertices are removed, so that is the first cheapest vertex in the list.
// An indexed four-way heap: a changed cost moves its vertex in log time.
// Costs must not be NaN.
class CollapseQueue {
public:
    // Queues vertex i with cost costs[i] for every i.
    void reset(const std::vector<float>& costs);
    bool empty() const { return heap.empty(); }
    int top() const { return heap.front(); }
    void pop();
    // New cost for a queued vertex.
    void update(int v, float cost);

private:
    bool before(int a, int b) const { return key[a] < key[b] || (key[a] == key[b] && a < b); }
    void sift_up(std::size_t at);
    void sift_down(std::size_t at);
    void place(std::size_t at, int v)
    {
        heap[at] = v;
        where[v] = int(at);
    }

    std::vector<int> heap;
    std::vector<int> where;  // position of each vertex in heap, -1 when gone
    std::vector<float> key;
};
