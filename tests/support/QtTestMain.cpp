// main() for test programs that build widgets: one application object for
// the whole run, then every GoogleTest case.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>

#include <QApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include "toolkit/MetaTypes.h"
#include "viewer/QtGLWidget.h"

namespace {

// The GL driver is loaded with the first context and unloaded with the last.
// Keeping every loaded library for the rest of the run lets the leak checker
// name the driver in what it reports (its own allocations are suppressed by
// name in tests/lsan.supp) instead of showing addresses of an unloaded module.
void keep_loaded_libraries()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && info->dlpi_name[0]) dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

void load_gl_driver()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (context.create() && context.makeCurrent(&surface)) {
        keep_loaded_libraries();
        context.doneCurrent();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    choose_surface_format();
    QApplication app(argc, argv);
    register_meta_types();
    if (QGuiApplication::platformName() != "offscreen") load_gl_driver();
    return RUN_ALL_TESTS();
}
