#include "core/ProgressBar.h"

#include <cstdio>
#include <string>

void ProgressBar::update(float done, float total)
{
    if (total == 0.0f) return;
    if (done == 0.0f) {
        step = int(total / cells + 0.5f);
        shown = 0;
        next_at = 0;
    }
    if (done != float(next_at)) return;
    ++shown;
    std::string bar = "[";
    bar.append(shown > 1 ? std::size_t(shown - 1) : 0, '*');
    for (int i = 0; float(i) < cells - float(shown); ++i) bar += ' ';
    bar += ']';
    std::printf("\r\rProgress = %s", bar.c_str());
    std::fflush(stdout);
    next_at += step;
}
