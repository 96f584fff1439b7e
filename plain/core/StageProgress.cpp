#include "core/StageProgress.h"

#include <algorithm>
#include <utility>

#include "core/Messages.h"

StageProgress::StageProgress(Messages& out_, std::string stage_, long long total_, int steps)
    : out(out_), stage(std::move(stage_)), total(total_), step(std::max(1LL, total_ / std::max(steps, 1)))
{}

void StageProgress::at(long long done)
{
    out.check_cancelled();
    if (done < next_at && done != total) return;
    next_at = done + step;
    out.progress(Progress{stage, done, total, {}});
}
