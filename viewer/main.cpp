// halvane: the mesh viewer.
#include <QApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include "toolkit/MetaTypes.h"
#include "toolkit/QtDialogs.h"
#include "viewer/QtGLWidget.h"
#include "viewer/QtMainWindow.h"

namespace {

bool has_opengl()
{
    // Qt's offscreen platform can make contexts through an X display, but it
    // cannot show an OpenGL widget.
    if (QGuiApplication::platformName() == "offscreen") return false;
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!context.create()) return false;
    return context.makeCurrent(&surface);
}

}  // namespace

int main(int argc, char** argv)
{
    choose_surface_format();
    QApplication app(argc, argv);
    if (!has_opengl()) {
        qWarning("This system has no OpenGL support. Exiting.");
        return -1;
    }
    register_meta_types();

    QtDialogs dialogs;
    QtMainWindow window(dialogs);
    if (!window.start(QApplication::arguments())) return 1;
    return app.exec();
}
