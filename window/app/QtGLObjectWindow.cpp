#include "app/QtGLObjectWindow.h"

#include <QFrame>
#include <QHBoxLayout>

#include "view/QtGLWidget.h"

QtGLObjectWindow::QtGLObjectWindow(MeshDocument& document, QWidget* parent, const QString& name) : QWidget(parent)
{
    setObjectName(name);
    auto* frame = new QFrame(this);
    frame->setObjectName("frame1");
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(2);

    view = new QtGLWidget(document, frame, "glbox1");
    auto* inner = new QHBoxLayout(frame);
    inner->setObjectName("flayout1");
    inner->setContentsMargins(1, 1, 1, 1);
    inner->setSpacing(0);
    inner->addWidget(view, 1);

    auto* outer = new QHBoxLayout(this);
    outer->setObjectName("blayout");
    outer->setContentsMargins(10, 10, 10, 10);
    outer->setSpacing(10);
    outer->addWidget(frame);
}
