// main() for test programs that build widgets: one application object for
// the whole run, then every GoogleTest case. Settings the program keeps
// between runs (the recent files) go to a folder of the run's own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "app/opengl_check.h"
#include "toolkit/meta_types.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    choose_surface_format();
    QApplication app(argc, argv);
    QTemporaryDir settings;
    if (!settings.isValid()) return 1;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    register_meta_types();
    has_opengl();  // loads the GL driver once for the whole run
    return RUN_ALL_TESTS();
}
