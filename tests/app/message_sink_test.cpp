// The window's sink on the message channel: console reports joined into the
// lines the Messages window lists, from the GUI thread and from others.
#include <thread>

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include "app/QtMessageSink.h"
#include "app/QtMessagesWindow.h"
#include "core/Messages.h"

namespace {

struct Listened {
    QtMessageSink sink;
    Messages channel{sink};
    std::vector<MessageLine> lines;
    std::vector<bool> on_gui_thread;

    Listened()
    {
        QObject::connect(&sink, &QtMessageSink::line_signal, [this](const MessageLine& line) {
            lines.push_back(line);
            on_gui_thread.push_back(QThread::currentThread() == sink.thread());
        });
    }
    QString text(std::size_t i) const { return i < lines.size() ? lines[i].text : QString("(none)"); }
};

}  // namespace

TEST(MessageSink, ReportsBecomeWholeLines)
{
    Listened l;
    // A line built in parts, as "BUILDING: " and its flag names.
    l.channel.info("BUILDING: ");
    l.channel.info("MESH_CENTRE ");
    EXPECT_TRUE(l.lines.empty()) << "the line is still open";
    l.channel.info("MESH_BB \n");
    // The progress bar writes over its line; blank lines list nothing.
    l.channel.info("\r\rProgress = [==");
    l.channel.info("\r\rProgress = [====");
    l.channel.info("\n\n\n");
    // A warning joining an open line makes it a warning line; an error on
    // standard error does not break into the line open on standard output.
    l.channel.info("Saving mesh... ");
    l.channel.error_on_stderr("ERROR: a.obj: line 3: bad face\n", "a.obj", 3);
    l.channel.warning("half done\nnext");
    l.channel.info(" line\n");
    ASSERT_EQ(l.lines.size(), 5u);
    EXPECT_EQ(l.text(0), "BUILDING: MESH_CENTRE MESH_BB ");
    EXPECT_EQ(l.text(1), "Progress = [====");
    EXPECT_EQ(l.text(2), "ERROR: a.obj: line 3: bad face");
    EXPECT_EQ(l.lines[2].severity, Message::Severity::Error);
    EXPECT_EQ(l.lines[2].file, "a.obj");
    EXPECT_EQ(l.lines[2].line, 3);
    EXPECT_EQ(l.text(3), "Saving mesh... half done");
    EXPECT_EQ(l.lines[3].severity, Message::Severity::Warning);
    EXPECT_EQ(l.text(4), "next line");
    EXPECT_EQ(l.lines[4].severity, Message::Severity::Warning);
    EXPECT_TRUE(l.lines[0].time.isValid());
}

TEST(MessageSink, ReportsFromAnotherThreadArriveInOrderOnTheGuiThread)
{
    Listened l;
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i) l.channel.info("step " + std::to_string(i) + (i % 2 ? "\n" : " of two, "));
    });
    worker.join();
    EXPECT_TRUE(l.lines.empty()) << "nothing is emitted on the worker's thread";
    QTRY_COMPARE(l.lines.size(), std::size_t(100));
    for (std::size_t i = 0; i < l.lines.size(); ++i) {
        EXPECT_EQ(l.text(i), QString("step %1 of two, step %2").arg(2 * i).arg(2 * i + 1));
        EXPECT_TRUE(l.on_gui_thread[i]);
    }
    // A report on the GUI thread after queued ones comes after them.
    l.channel.info("late\n");
    EXPECT_EQ(l.text(100), "late");
}

TEST(MessageSink, TheMessagesWindowListsTimeKindTextAndPlace)
{
    QtMessagesWindow window;
    QtMessageSink sink;
    Messages channel(sink);
    QObject::connect(&sink, &QtMessageSink::line_signal, &window, &QtMessagesWindow::add_line_event);
    channel.info("nv: 6, nf: 8\n");
    channel.error("ERROR!!! could not open colours.map\n", "colours.map");
    channel.error_on_stderr("ERROR: m.obj: line 12: a face names vertex 9 of 4\n", "m.obj", 12);
    QTreeWidget& list = *window.list;
    ASSERT_EQ(list.topLevelItemCount(), 3);
    const QTreeWidgetItem* first = list.topLevelItem(0);
    EXPECT_TRUE(QTime::fromString(first->text(QtMessagesWindow::Time), "hh:mm:ss").isValid());
    EXPECT_EQ(first->text(QtMessagesWindow::Kind), "info");
    EXPECT_EQ(first->text(QtMessagesWindow::File), "");
    EXPECT_EQ(list.topLevelItem(1)->text(QtMessagesWindow::Kind), "error");
    EXPECT_EQ(list.topLevelItem(1)->text(QtMessagesWindow::File), "colours.map");
    EXPECT_EQ(list.topLevelItem(2)->text(QtMessagesWindow::Text), "ERROR: m.obj: line 12: a face names vertex 9 of 4");
    EXPECT_EQ(list.topLevelItem(2)->text(QtMessagesWindow::File), "m.obj:12");
}
