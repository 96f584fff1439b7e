// The message channel: what reaches the console, in what order, and what a
// log keeps.
#include "core/Messages.h"

#include <gtest/gtest.h>

#include "core/format_text.h"
#include "core/MessageLog.h"

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

TEST(FormatText, KeepsPrintfFormatsAndLongTexts)
{
    EXPECT_EQ(format_text("Mean Shift Radius:\t%f \n", 0.25), "Mean Shift Radius:\t0.250000 \n");
    EXPECT_EQ(format_text("Allocating: %.2fMB", 1.0 / 3.0), "Allocating: 0.33MB");
    EXPECT_EQ(format_text("%s", std::string(5000, 'x').c_str()).size(), 5000u);
    EXPECT_EQ(format_text("%s", ""), "");
}

}  // namespace
