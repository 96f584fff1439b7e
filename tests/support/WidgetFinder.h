#pragma once

// Finding and driving widgets the way a user would.
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <QWidget>

// The push button with this text among the widget's descendants, or null;
// `which` counts from 0 among buttons with the same text.
inline QPushButton* button(const QWidget& parent, const QString& text, int which = 0)
{
    for (QPushButton* b : parent.findChildren<QPushButton*>())
        if (b->text() == text && which-- == 0) return b;
    return nullptr;
}

// The menu's item with this text, or null.
inline QAction* menu_item(const QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

inline void drag(QWidget& widget, Qt::MouseButton button, QPoint from, QPoint to)
{
    QTest::mouseMove(&widget, from);
    QTest::mousePress(&widget, button, {}, from);
    QTest::mouseMove(&widget, to);
    QTest::mouseRelease(&widget, button, {}, to);
}
