#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QGroupBox>
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

TEST(ClippingPanel, ControlsCarryTheirTextsAndNames)
{
    Panel panel;
    const QtCLippingWidget& w = panel.widget;
    EXPECT_EQ(w.objectName(), "clippingtab");
    EXPECT_EQ(w.load_button->text(), "Load");
    EXPECT_EQ(w.load_button->objectName(), "open");
    EXPECT_EQ(w.save_button->text(), "Save");
    EXPECT_EQ(w.save_button->objectName(), "save");
    EXPECT_FALSE(w.load_button->icon().isNull());
    EXPECT_FALSE(w.save_button->icon().isNull());
    EXPECT_EQ(w.resetcurrent_button->text(), "Reset Current");
    EXPECT_EQ(w.resetall_button->text(), "Reset All");
    EXPECT_EQ(w.showall_button->text(), "Show All");
    EXPECT_TRUE(w.showall_button->isCheckable());
    EXPECT_FALSE(w.resetall_button->isCheckable());

    QStringList titles;
    for (const QGroupBox* group : w.findChildren<QGroupBox*>()) titles << group->title();
    for (const char* title : {"File:", "Actions:", "Clipping Planes:", "PLANE_1", "PLANE_6"})
        EXPECT_TRUE(titles.contains(title)) << title;
    for (int k = 0; k < 6; ++k) {
        const QPushButton* button = w.plane_buttons[std::size_t(k)];
        EXPECT_EQ(button->text(), "Enable/Disable");
        EXPECT_TRUE(button->isCheckable());
        EXPECT_FALSE(button->isChecked());
        const auto* group = qobject_cast<const QGroupBox*>(button->parentWidget());
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->title(), QString("PLANE_%1").arg(k + 1));
    }
}

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

TEST(ClippingPanel, ResetsAndShowAll)
{
    Panel panel;
    panel.click(panel.widget.resetcurrent_button);
    EXPECT_TRUE(panel.recorder.take().empty());

    panel.click_plane(4);
    panel.recorder.take();
    panel.click(panel.widget.resetcurrent_button);
    EXPECT_EQ(panel.recorder.take(), Events({"resetcurrent"}));
    EXPECT_EQ(panel.checked_planes(), std::vector<int>({4}));

    panel.click(panel.widget.resetall_button);
    EXPECT_EQ(panel.recorder.take(), Events({"resetall"}));
    EXPECT_TRUE(panel.checked_planes().empty());

    panel.click(panel.widget.showall_button);
    EXPECT_EQ(panel.recorder.take(), Events({"showall 1"}));
    EXPECT_TRUE(panel.widget.showall_button->isChecked());
    panel.click(panel.widget.showall_button);
    EXPECT_EQ(panel.recorder.take(), Events({"showall 0"}));
    EXPECT_FALSE(panel.widget.showall_button->isChecked());

    panel.widget.invert_button_event();
    EXPECT_EQ(panel.recorder.take(), Events({"invert 1"}));
}

TEST(ClippingPanel, FileButtonsAskInDataForPlaneFiles)
{
    Panel panel;
    panel.dialogs.file_answers = {"cuts/one", "two.slc", "three.obj", "a.bc", "", "back.slc", ""};
    for (int i = 0; i < 5; ++i) panel.click(panel.widget.save_button);
    EXPECT_EQ(panel.recorder.take(), Events({"save cuts/one.slc", "save two.slc", "save three.obj",
                                             "save a.bc.slc"}));
    panel.click(panel.widget.load_button);
    panel.click(panel.widget.load_button);
    EXPECT_EQ(panel.recorder.take(), Events({"load back.slc"}));

    ASSERT_EQ(panel.dialogs.asked.size(), 7u);
    for (const ScriptedDialogs::Question& q : panel.dialogs.asked) {
        EXPECT_EQ(q.start, "data");
        EXPECT_EQ(q.filter, "*.slc");
        EXPECT_EQ(q.parent, &panel.widget);
    }
    EXPECT_EQ(panel.dialogs.asked[0].kind, "save");
    EXPECT_EQ(panel.dialogs.asked[5].kind, "open");

    EXPECT_EQ(plane_file_name("abc"), "abc.slc");
    EXPECT_EQ(plane_file_name(".slc"), ".slc");
}

TEST(ClippingPanel, UnwiredSlotsPassTheirValuesOn)
{
    Panel panel;
    std::vector<int> modes;
    QObject::connect(&panel.widget, &QtCLippingWidget::plane3rendermode_signal,
                     [&](int mode) { modes.push_back(mode); });
    int colours = 0;
    QObject::connect(&panel.widget, &QtCLippingWidget::isoclip_signal, [&] { ++colours; });
    panel.widget.plane3combo_event(2);
    panel.widget.iso_button_event();
    EXPECT_EQ(modes, std::vector<int>({2}));
    EXPECT_EQ(colours, 1);

    testing::internal::CaptureStdout();
    panel.widget.plane6checkbox_event(17);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "17\n");
}
