// halvane: the mesh viewer.
#include <QApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include "toolkit/MetaTypes.h"
#include "toolkit/QtDialogs.h"
#include "viewer/QtGLObjectWindow.h"
#include "viewer/QtGLWidget.h"
#include "viewer/QtMainWindow.h"

namespace {

// The view draws with the fixed-function pipeline: ask for a compatibility
// context with a depth buffer.
void choose_surface_format()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
}

bool has_opengl()
{
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
    window.setWindowTitle("Halvane V1.0");
    window.editor->resize(800, 600);
    window.show();

    const QStringList arguments = QApplication::arguments();
    // A file named on the command line that cannot be read ends the program.
    if (arguments.size() > 1 && !window.open_by_name(arguments.at(1))) return 1;
    return app.exec();
}
