// main() for test programs that build widgets: one application object for
// the whole run, then every GoogleTest case.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSurfaceFormat>

#include "toolkit/MetaTypes.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
    QApplication app(argc, argv);
    register_meta_types();
    return RUN_ALL_TESTS();
}
