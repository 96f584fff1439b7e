#pragma once

class Messages;

// A text bar on the console, redrawn in place ("\r\rProgress = [***    ]")
// every `step` items. The owner sets `cells` and calls update(0, total) at
// the start of a run and update(done, total) after each item; each call is
// one progress report on the channel, carrying the bar as its console text
// when the bar is redrawn. Never reports a line end of its own.
struct ProgressBar {
    float cells = 10.0f;
    int shown = 0;
    int step = 0;
    int next_at = 0;

    void update(float done, float total, Messages& out);
};
