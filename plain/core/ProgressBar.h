#pragma once

class Messages;

// A text bar on the console, redrawn in place ("\r\rProgress = [***    ]")
// every `step` items, reported on a message channel. The owner sets `cells`
// and calls update(0, total) at the start of a run and update(done, total)
// after each item. Never reports a line end of its own.
struct ProgressBar {
    float cells = 10.0f;
    int shown = 0;
    int step = 0;
    int next_at = 0;

    void update(float done, float total, Messages& out);
};
