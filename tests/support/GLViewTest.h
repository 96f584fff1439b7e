#pragma once

// Fixtures for tests that draw on the virtual display: a bare 300 x 300
// view, or the whole main window, with frames read back from OpenGL.
#include <algorithm>
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTest>

#include "app/QtMainWindow.h"
#include "document/MeshDocument.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"
#include "tests/support/WidgetFinder.h"
#include "toolkit/ScriptedDialogs.h"
#include "view/QtGLWidget.h"

// Pixels passing `test` in columns [x0, x1).
inline int count_pixels(const QImage& image, bool (*test)(QRgb), int x0 = 0, int x1 = INT_MAX)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, image.width()); ++x) n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// Lets the view's timer paint at least once more, then reads the frame back
// at the view's logical size, one pixel per frame-buffer pixel of its top
// left corner, so that pixel tests read the same at any device pixel ratio.
inline QImage next_frame(QtGLWidget& view)
{
    QTest::qWait(60);
    const QImage frame = view.grab_image();
    const QSize logical(view.width(), view.height());
    return frame.size() == logical ? frame : frame.scaled(logical, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// The rectangle holding the pixels that pass `test`; empty when none does.
inline QRect bounding_box(const QImage& image, bool (*test)(QRgb))
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(image.pixel(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

inline bool is_background(QRgb p)
{
    return p == qRgb(255, 255, 255);
}
inline bool is_drawn(QRgb p)
{
    return !is_background(p);
}

class GLViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.resize(300, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        ASSERT_TRUE(view.isValid()) << "no OpenGL context";
        ASSERT_TRUE(first_mesh.empty() || load(first_mesh) == LoadResult::Loaded);
    }

    // Writes `obj` to a file and loads it into the view, quietly.
    LoadResult load(const std::string& obj, const std::string& name = "mesh.obj")
    {
        const QString path = QString::fromStdString(dir.write(name, obj));
        LoadResult result{};
        printed(console, [&] { result = view.load_mesh(path); });
        return result;
    }

    QImage frame() { return next_frame(view); }

    std::string first_mesh;  // OBJ text SetUp loads, if any
    TempDir dir;
    Captured console;
    MeshDocument document{console};
    QtGLWidget view{document};
};

class GLWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        printed(console, [&] { started = window.start({"halvane"}); });
        ASSERT_TRUE(started);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(view().isValid()) << "no OpenGL context";
    }
    void TearDown() override { QDir::setCurrent(home); }

    QtGLWidget& view() { return *window.view(); }
    MeshDocument& document() { return window.document; }
    QImage frame() { return next_frame(view()); }

    // Writes `obj` to a file and opens it through the window, quietly;
    // false when the file would not load.
    bool open(const std::string& obj, const std::string& name = "mesh.obj")
    {
        const QString path = QString::fromStdString(dir.write(name, obj));
        bool opened = false;
        printed(console, [&] { opened = window.open_by_name(path); });
        return opened;
    }

    // Makes the test's folder the working directory until the test ends.
    void work_in_test_folder() { ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.path()))); }

    const QString home = QDir::currentPath();
    TempDir dir;
    ScriptedDialogs dialogs;
    Captured console;
    QtMainWindow window{dialogs, console};
    bool started = false;
};
