// The message channel: what reaches the console, in what order, and what a
// log keeps.
#include "core/Messages.h"

#include <thread>

#include <gtest/gtest.h>

#include "core/format_text.h"
#include "core/MessageLog.h"
#include "core/ProgressBar.h"
#include "core/StageProgress.h"

namespace {

TEST(Messages, TheConsoleShowsEachTextAsReportedOnItsStream)
{
    Messages console;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    console.info("BUILDING: ");
    console.info("MESH_BB ");
    console.error_on_stderr("ERROR: a.obj: line 3: bad\n", "a.obj", 3);
    console.info("\n\n");
    console.error("ERROR!!!\n", "b.map");
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "BUILDING: MESH_BB \n\nERROR!!!\n");
    EXPECT_EQ(err, "ERROR: a.obj: line 3: bad\n");
}

TEST(Messages, EverySinkHearsEveryReportUntilDetached)
{
    MessageLog first, second;
    Messages channel(first);
    channel.attach(second);
    channel.attach(second);  // once only
    channel.warning("careful\n");
    channel.detach(first);
    channel.error("ERROR: x.slc: line 2: short\n", "x.slc", 2);

    ASSERT_EQ(first.messages.size(), 1u);
    ASSERT_EQ(second.messages.size(), 2u);
    EXPECT_EQ(second.out(), "careful\nERROR: x.slc: line 2: short\n");
    EXPECT_EQ(second.err(), "");
    const std::vector<Message> errors = second.of(Message::Severity::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].file, "x.slc");
    EXPECT_EQ(errors[0].line, 2);
    EXPECT_EQ(second.of(Message::Severity::Warning).size(), 1u);

    second.clear();
    EXPECT_TRUE(second.messages.empty());
}

// Progress is one report with two listeners: the console shows only the
// text a report carries (the smoother's bar), the window every count.
TEST(Messages, ProgressShowsOnTheConsoleOnlyWhereItCarriesText)
{
    Messages console;
    MessageLog log;
    console.attach(log);
    testing::internal::CaptureStdout();
    ProgressBar bar;
    for (int i = 0; i <= 20; ++i) bar.update(float(i), 20.0f, console);
    StageProgress stage(console, "Collapsing edges", 1000, 10);
    for (int i = 0; i <= 1000; ++i) stage.at(i);
    const std::string out = testing::internal::GetCapturedStdout();

    std::string bars;
    for (int shown = 1; shown <= 11; ++shown)
        bars += "\r\rProgress = [" + std::string(shown - 1, '*') + std::string(shown <= 10 ? 10 - shown : 0, ' ') + "]";
    EXPECT_EQ(out, bars);
    EXPECT_EQ(log.out(), bars);
    // Every item of the bar, then the stage about every tenth of the way.
    ASSERT_EQ(log.stages.size(), 21u + 11u);
    EXPECT_EQ(log.stages[20].done, 20);
    EXPECT_EQ(log.stages[21].stage, "Collapsing edges");
    EXPECT_EQ(log.stages[22].done, 100);
    EXPECT_EQ(log.stages.back().done, 1000);
    EXPECT_EQ(log.stages.back().total, 1000);
}

TEST(Messages, ACancelStopsTheNextReportOnAnyThreadUntilCleared)
{
    MessageLog log;
    Messages channel(log);
    StageProgress stage(channel, "Work", 100);
    stage.at(1);
    channel.request_cancel();
    EXPECT_THROW(stage.at(2), Cancelled);
    EXPECT_THROW(channel.progress(Progress{"Work", 3, 100, {}}), Cancelled);
    // The report still reaches the sinks before the cancel stops its sender.
    EXPECT_EQ(log.stages.back().done, 3);
    std::thread helper([&] { EXPECT_THROW(channel.check_cancelled(), Cancelled); });
    helper.join();
    channel.info("lines still pass\n");
    EXPECT_EQ(log.out(), "lines still pass\n");
    channel.clear_cancel();
    EXPECT_NO_THROW(stage.at(100));
}

// A worker thread reports while the GUI thread does: each report arrives
// whole and none is lost.
TEST(Messages, ReportsFromTwoThreadsArriveWhole)
{
    MessageLog log;
    Messages channel(log);
    auto report = [&channel](char c) {
        for (int i = 0; i < 2000; ++i) {
            channel.info(std::string(40, c) + "\n");
            channel.progress(Progress{std::string(1, c), i, 2000, {}});
        }
    };
    std::thread worker(report, 'w');
    report('g');
    worker.join();
    ASSERT_EQ(log.messages.size(), 4000u);
    ASSERT_EQ(log.stages.size(), 4000u);
    for (const Message& m : log.messages)
        ASSERT_TRUE(m.text == std::string(40, 'w') + "\n" || m.text == std::string(40, 'g') + "\n");
}

TEST(FormatText, KeepsPrintfFormatsAndLongTexts)
{
    EXPECT_EQ(format_text("Mean Shift Radius:\t%f \n", 0.25), "Mean Shift Radius:\t0.250000 \n");
    EXPECT_EQ(format_text("Allocating: %.2fMB", 1.0 / 3.0), "Allocating: 0.33MB");
    EXPECT_EQ(format_text("%s", std::string(5000, 'x').c_str()).size(), 5000u);
    EXPECT_EQ(format_text("%s", ""), "");
}

}  // namespace
