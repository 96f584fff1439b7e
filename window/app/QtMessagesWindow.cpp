#include "app/QtMessagesWindow.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString kind_text(Message::Severity severity)
{
    switch (severity) {
    case Message::Severity::Warning: return QStringLiteral("warning");
    case Message::Severity::Error: return QStringLiteral("error");
    case Message::Severity::Info: break;
    }
    return QStringLiteral("info");
}

}  // namespace

QtMessagesWindow::QtMessagesWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("messages");
    setWindowTitle("Messages");
    list = new QTreeWidget(this);
    list->setObjectName("message_list");
    list->setHeaderLabels({"Time", "Kind", "Message", "File"});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->header()->setSectionResizeMode(Time, QHeaderView::ResizeToContents);
    list->header()->setSectionResizeMode(Kind, QHeaderView::ResizeToContents);
    // The message takes the room the window gets; the file column keeps its width.
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(Text, QHeaderView::Stretch);
    list->setColumnWidth(File, 240);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(list);
    resize(820, 360);
}

void QtMessagesWindow::add_line_event(const MessageLine& line)
{
    QString where = line.file;
    if (!where.isEmpty() && line.line > 0) where += ":" + QString::number(line.line);
    auto* item = new QTreeWidgetItem({line.time.toString("hh:mm:ss"), kind_text(line.severity), line.text, where});
    if (line.severity == Message::Severity::Error)
        item->setForeground(Text, QColor(170, 0, 0));
    else if (line.severity == Message::Severity::Warning)
        item->setForeground(Text, QColor(150, 90, 0));
    if (!where.isEmpty()) item->setToolTip(File, where);
    item->setToolTip(Text, line.text);
    if (list->topLevelItemCount() >= max_lines) delete list->takeTopLevelItem(0);
    // Follows the newest line unless the user scrolled back to read.
    const QScrollBar* bar = list->verticalScrollBar();
    const bool at_end = bar->value() == bar->maximum();
    list->addTopLevelItem(item);
    if (at_end) list->scrollToBottom();
}
