#include "core/ProgressBar.h"

#include <string>

#include "core/Messages.h"

void ProgressBar::update(float done, float total, Messages& out)
{
    if (total == 0.0f) return;
    if (done == 0.0f) {
        step = int(total / cells + 0.5f);
        shown = 0;
        next_at = 0;
    }
    Progress report{std::string(), (long long)done, (long long)total, std::string()};
    if (done == float(next_at)) {
        ++shown;
        std::string bar = "[";
        bar.append(shown > 1 ? std::size_t(shown - 1) : 0, '*');
        for (int i = 0; float(i) < cells - float(shown); ++i) bar += ' ';
        bar += ']';
        report.console = "\r\rProgress = " + bar;
        next_at += step;
    }
    out.progress(report);
}
