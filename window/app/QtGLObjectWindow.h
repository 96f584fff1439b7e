#pragma once

#include <QWidget>

class QtGLWidget;

// The main window's central widget: a sunken frame around the view.
class QtGLObjectWindow : public QWidget {
    Q_OBJECT
public:
    explicit QtGLObjectWindow(QWidget* parent = nullptr, const QString& name = QString());

    QtGLWidget* view;
};
