#pragma once

#include <QPushButton>
#include <QString>
#include <QWidget>

// The push button with this text among the widget's descendants, or null.
inline QPushButton* button(const QWidget& parent, const QString& text)
{
    for (QPushButton* b : parent.findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}
