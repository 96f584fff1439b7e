// halvane: the mesh viewer.
#include <QApplication>

#include "app/opengl_check.h"
#include "app/QtMainWindow.h"
#include "core/Messages.h"
#include "toolkit/meta_types.h"
#include "toolkit/QtDialogs.h"

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
    Messages messages;
    QtMainWindow window(dialogs, messages);
    window.runner.threaded = true;
    if (!window.start(QApplication::arguments())) return 1;
    return app.exec();
}
