#pragma once

#include <QWidget>

class MeshDocument;
class QtGLWidget;

// The main window's central widget: a sunken frame around the view of a document.
class QtGLObjectWindow : public QWidget {
    Q_OBJECT
public:
    explicit QtGLObjectWindow(MeshDocument& document, QWidget* parent = nullptr, const QString& name = QString());

    QtGLWidget* view;
};
