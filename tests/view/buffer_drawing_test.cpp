// Drawing from buffers on a virtual display: the same pictures as drawing
// vertex by vertex in every render mode, paints only when something changed,
// and light frames while a slow mesh is dragged.
#include <cstdlib>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <QWheelEvent>

#include "tests/support/GLViewTest.h"
#include "tests/support/NamedMeshes.h"
#include "view/mesh_drawing.h"

namespace {

// A torus turned at a slant, so that faces hide each other and lie at every
// angle to the light; with a colour of its own at each vertex when asked.
std::string torus_obj(bool coloured)
{
    const auto torus = named::torus(10, 7);
    std::string text = obj_text(*torus, 0.4f);
    if (!coloured) return text;
    for (int i = 0; i < torus->nv; ++i)
        text += "vc " + std::to_string((i * 37 % 100) / 100.0) + " " + std::to_string((i * 61 % 100) / 100.0) + " " +
                std::to_string((i * 13 % 100) / 100.0) + "\n";
    return text;
}

// Pixels whose channels differ by more than `tolerance` between the frames.
int differing(const QImage& a, const QImage& b, int tolerance = 0)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            n += std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                 std::abs(qBlue(p) - qBlue(q)) > tolerance;
        }
    return n;
}

class BufferDrawing : public GLViewTest {
protected:
    // The frame drawn vertex by vertex and the frame drawn from buffers.
    std::pair<QImage, QImage> both_frames()
    {
        view.draw_immediate = true;
        const QImage immediate = frame();
        view.draw_immediate = false;
        return {immediate, frame()};
    }

    // Every render mode: the filled modes and the bounding box pixel for
    // pixel. Where edges are drawn once each from the edge list instead of
    // twice from the faces' outlines, line ends may differ: at most 2 % of
    // the drawn pixels by more than 64 levels, and as many drawn within 2 %.
    // A hidden edge drawn twice was dotted in two phases that filled each
    // other's gaps, and faint twice over (143 instead of 191): the
    // hidden-line modes draw up to 10 % fewer pixels.
    void expect_same_pictures(const char* what)
    {
        for (int mode = RENDER_WIREFRAME; mode <= RENDER_FACE_COLOURS; ++mode) {
            view.set_render_mode(mode);
            const auto [immediate, buffered] = both_frames();
            const int drawn = count_pixels(immediate, is_drawn);
            ASSERT_GT(drawn, 0) << what << ", mode " << mode;
            const bool exact = mode == RENDER_POLYGONS || mode == RENDER_FACE_COLOURS || mode == RENDER_BOUNDING_BOX;
            if (exact)
                EXPECT_EQ(differing(immediate, buffered), 0) << what << ", mode " << mode;
            else
                EXPECT_LE(differing(immediate, buffered, 64), drawn / 50) << what << ", mode " << mode;
            const bool dotted = mode == RENDER_WIREFRAME_DOTTED || mode == RENDER_FACE_NORMALS;
            EXPECT_NEAR(count_pixels(buffered, is_drawn), drawn, drawn / (dotted ? 10 : 50) + 10)
                << what << ", mode " << mode;
        }
    }

    void turn() { drag(view, Qt::LeftButton, QPoint(150, 150), QPoint(185, 125)); }
};

}  // namespace

TEST_F(BufferDrawing, EveryRenderModeShowsTheSamePictureAsVertexByVertex)
{
    ASSERT_EQ(load(torus_obj(true)), LoadResult::Loaded);
    turn();
    expect_same_pictures("coloured");

    ASSERT_EQ(load(torus_obj(false)), LoadResult::Loaded);
    turn();
    expect_same_pictures("without colours");

    // A picked face, a grown region, a marked group, then a classification
    // with a patch browsed: tints over the faces' own colours.
    ASSERT_TRUE(view.pick(150, 60));
    printed(console, [&] {
        view.edgetraversal_slot(2, 180);
        view.markcurrent_slot();
        ASSERT_TRUE(view.pick(235, 150));
        view.edgetraversal_slot(1, 180);
    });
    expect_same_pictures("marked");
    printed(console, [&] { view.meshclassify_slot(); });
    ASSERT_GE(view.document.classifier.num_patches, 2);
    view.nextpatch_slot(1);
    expect_same_pictures("patch browsed");

    // A vertex no face uses is no corner: not drawn as a point.
    auto pair = named::two_triangles();
    ASSERT_EQ(load(obj_text(*pair) + "v 0.5 0.5 0.5\n"), LoadResult::Loaded);
    turn();
    expect_same_pictures("with a lone vertex");
}

TEST_F(BufferDrawing, AnIdleViewPaintsNothingAndEachChangePaintsOnce)
{
    ASSERT_EQ(load(torus_obj(true)), LoadResult::Loaded);
    QTest::qWait(100);
    const int builds = view.buffers.builds;
    const unsigned long settled = view.paints;
    QTest::qWait(200);
    EXPECT_EQ(view.paints, settled);

    // A slot, a setting, the camera, a document operation, the window: one
    // paint each, after which the view is idle again.
    const std::function<void()> changes[] = {
        [&] { view.cutplane_showall_slot(1); },
        [&] { view.background = QColor(10, 20, 30); },
        [&] { view.zoom_by(1.5f); },
        [&] { view.light_position_slot(30.0f, 90.0f); },
        [&] { view.set_render_mode(RENDER_WIREFRAME); },
        [&] { printed(console, [&] { view.subdivide_slot(1, 0.0f); }); },
        [&] { view.resize(280, 290); },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        const unsigned long before = view.paints;
        changes[i]();
        QTest::qWait(100);
        const unsigned long after = view.paints;
        // The window system paints a resized window once more by itself.
        const bool resized = i + 1 == std::size(changes);
        EXPECT_EQ(after, resized ? std::max(after, before + 1) : before + 1) << "change " << i;
        QTest::qWait(100);
        EXPECT_EQ(view.paints, after) << "change " << i;
    }

    // The buffers follow the mesh, not the frames: the camera and the
    // settings built nothing; the wireframe mode and the subdivided mesh did.
    EXPECT_EQ(view.buffers.builds, builds + 2);
    turn();
    view.set_render_mode(RENDER_POLYGONS);
    frame();
    EXPECT_EQ(view.buffers.builds, builds + 3);

    // Only the mode on show keeps buffers: a round through the other modes
    // leaves what "Polygons" holds, rebuilt once.
    const std::size_t polygons = view.buffers.bytes();
    for (const int mode : {RENDER_FACE_COLOURS, RENDER_FACE_NORMALS, RENDER_WIREFRAME, RENDER_POLYGONS}) {
        view.set_render_mode(mode);
        frame();
    }
    EXPECT_EQ(view.buffers.bytes(), polygons);
    EXPECT_EQ(view.buffers.builds, builds + 7);
    view.set_render_mode(RENDER_BOUNDING_BOX);
    frame();
    EXPECT_EQ(view.buffers.bytes(), 0u);
}

TEST_F(BufferDrawing, ASlowMeshIsDrawnLightWhileDraggedAndInFullOnceLetGo)
{
    ASSERT_EQ(load(obj_text(*named::open_grid(16), 1.0f / 16.0f)), LoadResult::Loaded);
    const int full = count_pixels(frame(), is_drawn);
    EXPECT_FALSE(view.light_frame);

    // A small, fast mesh stays whole while dragged.
    QTest::mouseMove(&view, QPoint(150, 150));
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(150, 150));
    QTest::mouseMove(&view, QPoint(151, 150));
    EXPECT_NEAR(count_pixels(frame(), is_drawn), full, full / 50);
    EXPECT_FALSE(view.light_frame);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(151, 150));

    // Every mesh is slow now: a share of its faces while the button is
    // held, all of them once it is let go, without another event.
    view.slow_frame_ms = 0.0;
    view.light_frame_min_faces = 0;
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(151, 150));
    QTest::mouseMove(&view, QPoint(152, 150));
    const int light = count_pixels(frame(), is_drawn);
    EXPECT_TRUE(view.light_frame);
    EXPECT_GT(light, 0);
    EXPECT_LT(light, full / 2);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(152, 150));
    const unsigned long released = view.paints;
    QTest::qWait(100);
    EXPECT_GT(view.paints, released);
    EXPECT_FALSE(view.light_frame);
    EXPECT_NEAR(count_pixels(frame(), is_drawn), full, full / 50);

    // A turn of the wheel is drawn light too, and in full once it rests.
    const QPointF at(150, 150);
    QWheelEvent wheel(at, view.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_LT(count_pixels(view.grab_image(), is_drawn), full / 2);
    EXPECT_TRUE(view.light_frame);
    QTest::qWait(500);
    EXPECT_FALSE(view.light_frame);
}

TEST_F(BufferDrawing, ASlowFrameDrawnInStepsEndsAsTheFrameDrawnAtOnce)
{
    ASSERT_EQ(load(torus_obj(true)), LoadResult::Loaded);
    turn();
    ASSERT_TRUE(view.pick(235, 150));
    view.light_frame_min_faces = 0;
    for (const int mode : {RENDER_POLYGONS, RENDER_WIREFRAME_DOTTED, RENDER_POLYGONS_WIREFRAME, RENDER_FACE_NORMALS,
                           RENDER_POINTS, RENDER_FACE_COLOURS}) {
        view.set_render_mode(mode);
        view.frames_in_steps = false;
        view.slow_frame_ms = 50.0;
        const QImage at_once = frame();

        // Every frame is slow now: a 64th of it a step, one step a tick,
        // until the frame is whole; then it is shown as it is.
        view.frames_in_steps = true;
        view.slow_frame_ms = 0.0;
        view.update();
        for (int i = 0; i < 2000 && !(view.stepped.shown && view.stepped.complete); ++i) QTest::qWait(10);
        ASSERT_TRUE(view.stepped.complete) << "mode " << mode;
        EXPECT_GT(view.stepped.steps, 8) << "mode " << mode;
        EXPECT_FALSE(view.light_frame);
        const unsigned long paints = view.paints;
        const int steps = view.stepped.steps;
        EXPECT_EQ(differing(frame(), at_once), 0) << "mode " << mode;
        EXPECT_EQ(view.stepped.steps, steps) << "mode " << mode;
        // Whole and shown: the view is idle again.
        QTest::qWait(50);
        EXPECT_EQ(view.paints, paints + 1) << "mode " << mode;
    }
}
