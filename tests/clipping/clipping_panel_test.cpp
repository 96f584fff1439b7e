#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QPushButton>
#include <QTest>

#include "clipping/QtCLippingWidget.h"
#include "toolkit/ScriptedDialogs.h"

namespace {

// Every cutplane signal of the panel, in emission order, as "name value".
class Recorder {
public:
    explicit Recorder(QtCLippingWidget& panel)
    {
        auto record = [this](const char* name) {
            return [this, name](auto... value) { add(name, value...); };
        };
        QObject::connect(&panel, &QtCLippingWidget::cutplane_select_signal, record("select"));
        QObject::connect(&panel, &QtCLippingWidget::cutplane_invert_signal, record("invert"));
        QObject::connect(&panel, &QtCLippingWidget::cutplane_load_signal, record("load"));
        QObject::connect(&panel, &QtCLippingWidget::cutplane_save_signal, record("save"));
        QObject::connect(&panel, &QtCLippingWidget::cutplane_showall_signal, record("showall"));
        QObject::connect(&panel, &QtCLippingWidget::cutplane_resetall_signal, record("resetall"));
        QObject::connect(&panel, &QtCLippingWidget::cutplane_resetcurrent_signal, record("resetcurrent"));
    }

    std::vector<std::string> take()
    {
        std::vector<std::string> result;
        result.swap(seen);
        return result;
    }

private:
    void add(const char* name) { seen.emplace_back(name); }
    void add(const char* name, int value) { seen.push_back(std::string(name) + " " + std::to_string(value)); }
    void add(const char* name, const QString& value) { seen.push_back(std::string(name) + " " + value.toStdString()); }

    std::vector<std::string> seen;
};

using Events = std::vector<std::string>;

struct Panel {
    ScriptedDialogs dialogs;
    QtCLippingWidget widget{dialogs, nullptr, "clippingtab"};
    Recorder recorder{widget};

    Panel() { widget.show(); }
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
    EXPECT_EQ(panel.recorder.take(), Events({"select 2"}));
    EXPECT_EQ(panel.checked_planes(), std::vector<int>({3}));

    panel.click_plane(5);
    EXPECT_EQ(panel.recorder.take(), Events({"select 2", "select 4"}));
    EXPECT_EQ(panel.checked_planes(), std::vector<int>({5}));

    panel.click_plane(5);
    EXPECT_EQ(panel.recorder.take(), Events({"select 4"}));
    EXPECT_TRUE(panel.checked_planes().empty());

    // Planes checked from outside the panel's own clicks are all turned off,
    // each with its own signal, in button order.
    panel.widget.plane_buttons[5]->setChecked(true);
    panel.widget.plane_buttons[0]->setChecked(true);
    panel.click_plane(2);
    EXPECT_EQ(panel.recorder.take(), Events({"select 0", "select 5", "select 1"}));
    EXPECT_EQ(panel.checked_planes(), std::vector<int>({2}));
}

TEST(ClippingPanel, FileButtonsSendPlaneFileNames)
{
    Panel panel;
    panel.dialogs.file_answers = {"cuts/one", "two.slc", "three.obj", "a.bc", "", "back.slc", ""};
    for (int i = 0; i < 5; ++i) panel.click(panel.widget.save_button);
    EXPECT_EQ(panel.recorder.take(), Events({"save cuts/one.slc", "save two.slc", "save three.obj",
                                             "save a.bc.slc"}));
    panel.click(panel.widget.load_button);
    panel.click(panel.widget.load_button);
    EXPECT_EQ(panel.recorder.take(), Events({"load back.slc"}));
    EXPECT_EQ(plane_file_name("abc"), "abc.slc");
    EXPECT_EQ(plane_file_name(".slc"), ".slc");
}
