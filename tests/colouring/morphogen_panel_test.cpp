// The morphogen panel on the offscreen platform, every dialog scripted.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeWidget>

#include "colouring/QtMorphogenWidget.h"
#include "tests/support/WidgetFinder.h"
#include "tests/support/TempDir.h"
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

    // The centre of a cell of the tree, in viewport coordinates.
    QPoint cell(int r, int column) const
    {
        const QRect line = panel.tree->visualItemRect(row(r));
        const QHeaderView* header = panel.tree->header();
        return QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, line.center().y());
    }

    // Clicks the check box of row r as a user would.
    void click_check(int r)
    {
        QStyleOptionViewItem option;
        option.initFrom(panel.tree);
        const QHeaderView* header = panel.tree->header();
        const QRect line = panel.tree->visualItemRect(row(r));
        option.rect = QRect(header->sectionViewportPosition(0), line.top(), header->sectionSize(0), line.height());
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box = panel.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, panel.tree);
        QTest::mouseClick(panel.tree->viewport(), Qt::LeftButton, {}, box.center());
    }

    QColor swatch_colour(int r) const
    {
        const auto* label = qobject_cast<QLabel*>(panel.tree->itemWidget(row(r), 2));
        return label ? label->pixmap().toImage().pixelColor(0, 0) : QColor();
    }

    // Brings the panel to the three-morphogen example through its controls.
    void set_up_example()
    {
        names({"a", "b", "c"});
        dialogs.colour_answers = {QColor(10, 20, 30), green};
        panel.pickcolpressed_slot();
        QTest::mouseClick(panel.subtractive, Qt::LeftButton);
        click_check(1);
        QTest::mouseClick(panel.tree->viewport(), Qt::LeftButton, {}, cell(1, 2));
    }

    ScriptedDialogs dialogs;
    QtMorphogenWidget panel;
    std::vector<Sent> sent;
    TempDir dir;
};

const char* example_text =
    "SIZE 3\nBASECOL 10 20 30\nMIXMODE 1\nMORPHO\t255 0 0 0\nMORPHO\t0 255 0 1\nMORPHO\t255 0 0 0\n";

}  // namespace

TEST_F(MorphogenPanel, ANewNameListRebuildsTheTreeAllOffAndRed)
{
    EXPECT_EQ(panel.objectName(), "morphotab");
    EXPECT_TRUE(panel.additive->isChecked());
    names({"heat", "wet"});
    ASSERT_EQ(panel.tree->topLevelItemCount(), 2);
    EXPECT_EQ(row(1)->text(1), "wet");
    EXPECT_EQ(row(0)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(swatch_colour(1), red);
    names({"only"});
    EXPECT_EQ(panel.tree->topLevelItemCount(), 1);
    EXPECT_EQ(panel.settings.toggles, std::vector<int>{0});
    EXPECT_TRUE(sent.empty());  // nothing is sent on a rebuild
}

TEST_F(MorphogenPanel, ClicksOnTheColumnsSendTheSetting)
{
    names({"heat", "wet"});
    click_check(1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], Sent(0, {0, 1}, {red, red}, QColor(Qt::black)));
    EXPECT_EQ(row(1)->checkState(0), Qt::Checked);

    QTest::mouseClick(panel.tree->viewport(), Qt::LeftButton, {}, cell(0, 1));
    EXPECT_EQ(sent.size(), 1u);  // the name column does nothing

    dialogs.colour_answers = {green};
    QTest::mouseClick(panel.tree->viewport(), Qt::LeftButton, {}, cell(0, 2));
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(std::get<2>(sent[1]), (std::vector<QColor>{green, red}));
    EXPECT_EQ(swatch_colour(0), green);
    EXPECT_EQ(dialogs.asked.back().initial, red);

    // A cancelled colour dialog changes nothing and sends nothing.
    QTest::mouseClick(panel.tree->viewport(), Qt::LeftButton, {}, cell(0, 2));
    panel.pickcolpressed_slot();
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_EQ(swatch_colour(0), green);
    EXPECT_EQ(panel.settings.base_colour, (Rgb{0, 0, 0}));

    click_check(1);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(std::get<1>(sent[2]), (std::vector<int>{0, 0}));
}

TEST_F(MorphogenPanel, BaseColourAndMixingButtons)
{
    names({"heat"});
    dialogs.colour_answers = {QColor(1, 2, 3)};
    QTest::mouseClick(button(panel, "Choose a Colour"), Qt::LeftButton);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(std::get<3>(sent[0]), QColor(1, 2, 3));
    EXPECT_EQ(panel.swatch->pixmap().toImage().pixelColor(8, 8), QColor(1, 2, 3));
    QTest::mouseClick(panel.subtractive, Qt::LeftButton);
    QTest::mouseClick(panel.additive, Qt::LeftButton);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(std::get<0>(sent[1]), 1);
    EXPECT_EQ(std::get<0>(sent[2]), 0);
}

TEST_F(MorphogenPanel, SavesTheExampleByteForByte)
{
    set_up_example();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent.back(), Sent(1, {0, 1, 0}, {red, green, red}, QColor(10, 20, 30)));
    dialogs.file_answers = {QString::fromStdString(dir.file("setting"))};
    QTest::mouseClick(button(panel, "Save"), Qt::LeftButton);
    EXPECT_EQ(slurp(dir.file("setting.mor")), example_text);
    EXPECT_EQ(dialogs.asked.back().kind, "save");
    EXPECT_EQ(dialogs.asked.back().start, "data");
    EXPECT_EQ(dialogs.asked.back().filter, "*.mor");

    // A cancelled save writes nothing.
    panel.saveSlot();
    EXPECT_EQ(sent.size(), 4u);
}

TEST_F(MorphogenPanel, LoadsOntoMatchingMeshesOnly)
{
    const QString path = QString::fromStdString(dir.write("s.mor", example_text));
    names({"a", "b"});
    dialogs.file_answers = {path};
    testing::internal::CaptureStdout();
    panel.loadSlot();
    EXPECT_NE(testing::internal::GetCapturedStdout().find("holds settings for 3 morphogens, the mesh has 2"),
              std::string::npos);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(row(0)->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(panel.additive->isChecked());

    names({"a", "b", "c"});
    dialogs.file_answers = {path};
    panel.loadSlot();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], Sent(1, {0, 1, 0}, {red, green, red}, QColor(10, 20, 30)));
    EXPECT_EQ(row(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(row(0)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(swatch_colour(1), green);
    EXPECT_TRUE(panel.subtractive->isChecked());
    EXPECT_FALSE(panel.additive->isChecked());
    EXPECT_EQ(panel.swatch->pixmap().toImage().pixelColor(0, 0), QColor(10, 20, 30));

    // A cancelled dialog still rebuilds the tree and sends the setting.
    row(0)->setCheckState(0, Qt::Checked);
    sent.clear();
    panel.loadSlot();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(std::get<1>(sent[0]), (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(dialogs.asked.back().kind, "open");
    EXPECT_EQ(dialogs.asked.back().filter, "*.mor");

    // An unreadable file sends nothing.
    dialogs.file_answers = {QString::fromStdString(dir.file("missing.mor"))};
    testing::internal::CaptureStdout();
    panel.loadSlot();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR!!!\n");
    EXPECT_EQ(sent.size(), 1u);
}
