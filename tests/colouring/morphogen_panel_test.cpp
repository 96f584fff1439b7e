// The morphogen panel on the offscreen platform, every dialog scripted.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeWidget>

#include "colouring/QtMorphogenWidget.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"
#include "tests/support/WidgetFinder.h"
#include "toolkit/ScriptedDialogs.h"

namespace {

using Sent = std::tuple<int, std::vector<int>, std::vector<QColor>, QColor>;

const QColor red(255, 0, 0), green(0, 255, 0);

class MorphogenPanel : public ::testing::Test {
protected:
    MorphogenPanel() : panel(dialogs, nullptr, "morphotab")
    {
        QObject::connect(&panel, &QtMorphogenWidget::buildvertexcolour_signal,
                         [this](int mix, std::vector<int> toggles, std::vector<QColor> colours, QColor base) {
                             sent.emplace_back(mix, toggles, colours, base);
                         });
        panel.resize(700, 500);
        panel.show();
    }

    void names(std::vector<std::string> list) { panel.buildtree_slot(list); }

    QTreeWidgetItem* row(int i) const { return panel.tree->topLevelItem(i); }

    // A cell of the tree, in viewport coordinates.
    QRect cell(int r, int column) const
    {
        const QRect line = panel.tree->visualItemRect(row(r));
        const QHeaderView* header = panel.tree->header();
        return QRect(header->sectionViewportPosition(column), line.top(), header->sectionSize(column), line.height());
    }

    void click(QPoint at) { QTest::mouseClick(panel.tree->viewport(), Qt::LeftButton, {}, at); }

    // Clicks the check box of row r as a user would.
    void click_check(int r)
    {
        QStyleOptionViewItem option;
        option.initFrom(panel.tree);
        option.rect = cell(r, 0);
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        click(panel.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, panel.tree).center());
    }

    QColor swatch_colour(int r) const
    {
        const auto* label = qobject_cast<QLabel*>(panel.tree->itemWidget(row(r), 2));
        return label ? label->pixmap().toImage().pixelColor(0, 0) : QColor();
    }

    ScriptedDialogs dialogs;
    QtMorphogenWidget panel;
    std::vector<Sent> sent;
    TempDir dir;
};

const char* example_text =
    "SIZE 3\nBASECOL 10 20 30\nMIXMODE 1\nMORPHO\t255 0 0 0\nMORPHO\t0 255 0 1\nMORPHO\t255 0 0 0\n";

}  // namespace

TEST_F(MorphogenPanel, ControlsSendTheSetting)
{
    names({"heat", "wet"});
    ASSERT_EQ(panel.tree->topLevelItemCount(), 2);
    EXPECT_EQ(row(1)->text(1), "wet");
    EXPECT_EQ(swatch_colour(1), red);
    EXPECT_TRUE(sent.empty());  // nothing is sent on a rebuild

    click_check(1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], Sent(0, {0, 1}, {red, red}, QColor(Qt::black)));
    dialogs.colour_answers = {green};
    click(cell(0, 2).center());
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(std::get<2>(sent[1]), (std::vector<QColor>{green, red}));
    EXPECT_EQ(swatch_colour(0), green);
    // Cancelled colour dialogs change nothing and send nothing.
    click(cell(0, 2).center());
    panel.pickcolpressed_slot();
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_EQ(swatch_colour(0), green);

    dialogs.colour_answers = {QColor(1, 2, 3)};
    QTest::mouseClick(button(panel, "Choose a Colour"), Qt::LeftButton);
    QTest::mouseClick(panel.subtractive, Qt::LeftButton);
    QTest::mouseClick(panel.additive, Qt::LeftButton);
    click_check(1);
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(std::get<3>(sent[2]), QColor(1, 2, 3));
    EXPECT_EQ(std::get<0>(sent[3]), 1);
    EXPECT_EQ(std::get<0>(sent[4]), 0);
    EXPECT_EQ(std::get<1>(sent[5]), (std::vector<int>{0, 0}));

    names({"only"});  // a new list starts all off
    EXPECT_EQ(panel.settings.toggles, std::vector<int>{0});
}

TEST_F(MorphogenPanel, SavesAndLoadsSettingFiles)
{
    // Only onto a mesh with as many morphogens.
    const QString path = QString::fromStdString(dir.write("example.mor", example_text));
    names({"a", "b"});
    dialogs.file_answers = {path};
    EXPECT_NE(printed([&] { panel.loadSlot(); }).find("holds settings for 3 morphogens, the mesh has 2"),
              std::string::npos);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(row(1)->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(panel.additive->isChecked());

    // The example through the panel's controls, saved byte for byte.
    names({"a", "b", "c"});
    dialogs.colour_answers = {QColor(10, 20, 30), green};
    panel.pickcolpressed_slot();
    QTest::mouseClick(panel.subtractive, Qt::LeftButton);
    click_check(1);
    click(cell(1, 2).center());
    ASSERT_EQ(sent.size(), 4u);
    const Sent example(1, {0, 1, 0}, {red, green, red}, QColor(10, 20, 30));
    EXPECT_EQ(sent.back(), example);
    dialogs.file_answers = {QString::fromStdString(dir.file("setting"))};
    QTest::mouseClick(button(panel, "Save"), Qt::LeftButton);
    EXPECT_EQ(slurp(dir.file("setting.mor")), example_text);
    panel.saveSlot();  // cancelled: nothing is written or sent
    EXPECT_EQ(sent.size(), 4u);

    names({"a", "b", "c"});
    dialogs.file_answers = {path};
    sent.clear();
    panel.loadSlot();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], example);
    EXPECT_EQ(row(1)->checkState(0), Qt::Checked);

    // A cancelled dialog still rebuilds the tree and sends the setting.
    row(0)->setCheckState(0, Qt::Checked);
    sent.clear();
    panel.loadSlot();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(std::get<1>(sent[0]), (std::vector<int>{1, 1, 0}));
}
