#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "panels/QtCLippingWidget.h"
#include "tests/support/Printed.h"
#include "toolkit/ScriptedDialogs.h"

namespace {

using Events = std::vector<std::string>;

// The panel, shown, with every cutplane signal it sends kept in order as
// "name value".
struct Panel {
    ScriptedDialogs dialogs;
    Captured console;
    QtCLippingWidget widget{dialogs, console, nullptr, "clippingtab"};
    Events seen;

    Panel()
    {
        widget.show();
        auto record = [this](std::string name) {
            return [this, name](auto... value) { seen.push_back((name + ... + (" " + text(value)))); };
        };
        using P = QtCLippingWidget;
        QObject::connect(&widget, &P::cutplane_select_signal, record("select"));
        QObject::connect(&widget, &P::cutplane_invert_signal, record("invert"));
        QObject::connect(&widget, &P::cutplane_load_signal, record("load"));
        QObject::connect(&widget, &P::cutplane_save_signal, record("save"));
        QObject::connect(&widget, &P::cutplane_showall_signal, record("showall"));
        QObject::connect(&widget, &P::cutplane_resetall_signal, record("resetall"));
        QObject::connect(&widget, &P::cutplane_resetcurrent_signal, record("resetcurrent"));
    }
    static std::string text(int value) { return std::to_string(value); }
    static std::string text(const QString& value) { return value.toStdString(); }
    Events take() { return std::exchange(seen, {}); }
    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void click_plane(int k) { click(widget.plane_buttons[std::size_t(k - 1)]); }
    std::vector<int> checked_planes() const
    {
        std::vector<int> result;
        for (int k = 1; k <= 6; ++k)
            if (widget.plane_buttons[std::size_t(k - 1)]->isChecked()) result.push_back(k);
        return result;
    }
};

}  // namespace

TEST(ClippingPanel, PlaneButtonsKeepAtMostOnePlaneSelected)
{
    Panel panel;
    panel.click_plane(3);
    EXPECT_EQ(panel.take(), Events({"select 2"}));
    EXPECT_EQ(panel.checked_planes(), std::vector<int>({3}));

    panel.click_plane(5);
    EXPECT_EQ(panel.take(), Events({"select 2", "select 4"}));
    EXPECT_EQ(panel.checked_planes(), std::vector<int>({5}));

    panel.click_plane(5);
    EXPECT_EQ(panel.take(), Events({"select 4"}));
    EXPECT_TRUE(panel.checked_planes().empty());

    // Planes checked from outside the panel's own clicks are all turned off,
    // each with its own signal, in button order.
    panel.widget.plane_buttons[5]->setChecked(true);
    panel.widget.plane_buttons[0]->setChecked(true);
    panel.click_plane(2);
    EXPECT_EQ(panel.take(), Events({"select 0", "select 5", "select 1"}));
    EXPECT_EQ(panel.checked_planes(), std::vector<int>({2}));
}

TEST(ClippingPanel, PlanesPutBackByTheViewUncheckEveryButtonSilently)
{
    Panel panel;
    panel.click_plane(4);
    panel.take();
    const QImage off = panel.widget.plane_buttons[0]->grab().toImage();
    // A checked button looks different from the others.
    EXPECT_NE(panel.widget.plane_buttons[3]->grab().toImage(), off);
    panel.widget.planes_reset_event();
    EXPECT_TRUE(panel.checked_planes().empty());
    EXPECT_TRUE(panel.take().empty());
    // The next click selects the plane again.
    panel.click_plane(4);
    EXPECT_EQ(panel.take(), Events({"select 3"}));
}

TEST(ClippingPanel, FileButtonsSendPlaneFileNames)
{
    Panel panel;
    panel.dialogs.file_answers = {"cuts/one", "two.slc", "three.obj", "a.bc", "", "back.slc", ""};
    for (int i = 0; i < 5; ++i) panel.click(panel.widget.save_button);
    EXPECT_EQ(panel.take(), Events({"save cuts/one.slc", "save two.slc", "save three.obj", "save a.bc.slc"}));
    panel.click(panel.widget.load_button);
    panel.click(panel.widget.load_button);
    EXPECT_EQ(panel.take(), Events({"load back.slc"}));
    EXPECT_EQ(plane_file_name("abc"), "abc.slc");
    EXPECT_EQ(plane_file_name(".slc"), ".slc");
}
