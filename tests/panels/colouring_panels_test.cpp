// The morphogen and terrain panels on the offscreen platform, every dialog scripted.
#include <gtest/gtest.h>

#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QDir>
#include <QTest>
#include <QTreeWidget>

#include "colouring/png_file.h"
#include "core/Mesh.h"
#include "document/MeshDocument.h"
#include "panels/QtMeshTerrainWidget.h"
#include "panels/QtMorphogenWidget.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"
#include "tests/support/WidgetFinder.h"
#include "toolkit/ScriptedDialogs.h"

namespace {

const QColor black(0, 0, 0), white(255, 255, 255), red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255);

// The colour of the swatch shown in a cell of a tree.
QColor swatch(const QTreeWidget* tree, int row, int column)
{
    const auto* label = qobject_cast<QLabel*>(tree->itemWidget(tree->topLevelItem(row), column));
    return label ? label->pixmap().toImage().pixelColor(0, 0) : QColor();
}

using MorphogenSent = std::tuple<int, std::vector<int>, std::vector<QColor>, QColor>;

class MorphogenPanel : public ::testing::Test {
protected:
    MorphogenPanel() : panel(dialogs, console, nullptr, "morphotab")
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

    ScriptedDialogs dialogs;
    Captured console;
    QtMorphogenWidget panel;
    std::vector<MorphogenSent> sent;
    TempDir dir;
};

const char* example_text =
    "SIZE 3\nBASECOL 10 20 30\nMIXMODE 1\nMORPHO\t255 0 0 0\nMORPHO\t0 255 0 1\nMORPHO\t255 0 0 0\n";

}  // namespace

TEST_F(MorphogenPanel, ControlsSendTheSetting)
{
    names({"heat", "wet"});
    ASSERT_EQ(panel.tree->topLevelItemCount(), 2);
    EXPECT_TRUE(sent.empty());  // nothing is sent on a rebuild

    click_check(1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], MorphogenSent(0, {0, 1}, {red, red}, QColor(Qt::black)));
    dialogs.colour_answers = {green};
    click(cell(0, 2).center());
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(std::get<2>(sent[1]), (std::vector<QColor>{green, red}));
    EXPECT_EQ(swatch(panel.tree, 0, 2), green);
    // Cancelled colour dialogs change nothing and send nothing.
    click(cell(0, 2).center());
    panel.pickcolpressed_slot();
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_EQ(swatch(panel.tree, 0, 2), green);

    dialogs.colour_answers = {QColor(1, 2, 3)};
    QTest::mouseClick(button(panel, "Choose a Colour"), Qt::LeftButton);
    QTest::mouseClick(panel.subtractive, Qt::LeftButton);
    EXPECT_FALSE(panel.additive->isChecked());
    QTest::mouseClick(panel.additive, Qt::LeftButton);
    EXPECT_FALSE(panel.subtractive->isChecked());
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
    EXPECT_NE(printed(console, [&] { panel.loadSlot(); }).find("holds settings for 3 morphogens, the mesh has 2"),
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
    const MorphogenSent example(1, {0, 1, 0}, {red, green, red}, QColor(10, 20, 30));
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

namespace {

using TerrainSent = std::pair<std::vector<QColor>, std::vector<float>>;

class TerrainPanel : public ::testing::Test {
protected:
    TerrainPanel() : panel(dialogs, console, nullptr, "terraintab")
    {
        QObject::connect(
            &panel, &QtMeshTerrainWidget::build_vertexcolours_signal,
            [this](std::vector<QColor> colours, std::vector<float> values) { sent.emplace_back(colours, values); });
    }

    // Answers the next entry dialog: types a value (unless null) and presses a button.
    void script_entry(const QString& value, const QString& press = "OK")
    {
        dialogs.dialog_scripts.push_back([value, press](QDialog& dialog) {
            if (!value.isNull()) dialog.findChild<QLineEdit*>()->setText(value);
            QTest::mouseClick(button(dialog, press), Qt::LeftButton);
        });
    }

    QStringList texts() const
    {
        QStringList out;
        for (int i = 0; i < panel.map_tree->topLevelItemCount(); ++i) out << panel.map_tree->topLevelItem(i)->text(1);
        return out;
    }

    ScriptedDialogs dialogs;
    Captured console;
    QtMeshTerrainWidget panel;
    std::vector<TerrainSent> sent;
    TempDir dir;
};

}  // namespace

TEST_F(TerrainPanel, AddsEditsAndDeletesKeepingTheMapInOrder)
{
    // Only inner entries go, and only after a Yes.
    for (int i : {0, 1}) {
        panel.map_tree->setCurrentItem(panel.map_tree->topLevelItem(i));
        EXPECT_EQ(printed(console, [&] { panel.delcol_event(); }), "not allowed\n");
    }
    EXPECT_TRUE(dialogs.asked.empty());

    // A new entry starts black; the value typed places it.
    script_entry("0.5");
    QTest::mouseClick(button(panel, "add"), Qt::LeftButton);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], TerrainSent({black, black, white}, {0.0f, 0.5f, 1.0f}));
    EXPECT_EQ(texts(), (QStringList{"0.0", "0.5", "1.0"}));

    // Picking a colour does not close the dialog; closed unanswered, it adds nothing.
    dialogs.dialog_scripts.push_back(
        [](QDialog& dialog) { QTest::mouseClick(button(dialog, "Pick a Colour"), Qt::LeftButton); });
    dialogs.colour_answers = {red};
    panel.addcol_event();
    EXPECT_EQ(dialogs.asked.back().initial, black);
    EXPECT_EQ(sent.size(), 1u);

    // A cancelled pick keeps the colour picked before it.
    dialogs.dialog_scripts.push_back([](QDialog& dialog) {
        QTest::mouseClick(button(dialog, "Pick a Colour"), Qt::LeftButton);
        QTest::mouseClick(button(dialog, "Pick a Colour"), Qt::LeftButton);
        dialog.findChild<QLineEdit*>()->setText("0.25");
        QTest::mouseClick(button(dialog, "OK"), Qt::LeftButton);
    });
    dialogs.colour_answers = {blue};
    panel.addcol_event();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], TerrainSent({black, blue, black, white}, {0.0f, 0.25f, 0.5f, 1.0f}));
    EXPECT_EQ(swatch(panel.map_tree, 1, 0), blue);

    // Editing moves the entry to its new place; CANCEL changes nothing.
    script_entry("0.75");
    panel.itemDoubleClickedSlot(panel.map_tree->topLevelItem(1), 1);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2], TerrainSent({black, black, blue, white}, {0.0f, 0.5f, 0.75f, 1.0f}));
    script_entry("0.1", "CANCEL");
    panel.itemDoubleClickedSlot(panel.map_tree->topLevelItem(2), 1);
    EXPECT_EQ(sent.size(), 3u);

    panel.map_tree->setCurrentItem(panel.map_tree->topLevelItem(1));
    panel.delcol_event();  // answered No
    EXPECT_EQ(dialogs.asked.back().kind, "confirm");
    EXPECT_EQ(texts(), (QStringList{"0.0", "0.5", "0.75", "1.0"}));
    dialogs.confirm_answers = {true};
    QTest::mouseClick(button(panel, "del"), Qt::LeftButton);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[3], TerrainSent({black, blue, white}, {0.0f, 0.75f, 1.0f}));
    EXPECT_EQ(texts(), (QStringList{"0.0", "0.75", "1.0"}));
}

TEST_F(TerrainPanel, SavesAndLoadsMapFiles)
{
    dialogs.file_answers = {QString::fromStdString(dir.file("default"))};
    QTest::mouseClick(button(panel, "Save"), Qt::LeftButton);
    EXPECT_EQ(slurp(dir.file("default.map")), "0\t0\t0\t0\n1\t255\t255\t255\n");
    // Without a "ColourMaps" folder the dialog starts in the working folder,
    // never with the folder's name as the file's.
    EXPECT_EQ(dialogs.asked.back().start, QDir::currentPath());
    // The list shows its whole "Colour" header.
    EXPECT_GE(panel.map_tree->columnWidth(0), panel.map_tree->fontMetrics().horizontalAdvance("Colour"));

    dialogs.file_answers = {QString::fromStdString(dir.write("p.map", "0 10 20 30\n0.5 40 50\n1 255 255 255\n"))};
    printed(console, [&] { QTest::mouseClick(button(panel, "Load"), Qt::LeftButton); });
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], TerrainSent({QColor(10, 20, 30), QColor(40, 50, 30), white}, {0.0f, 0.5f, 1.0f}));
    EXPECT_EQ(texts(), (QStringList{"0.0", "0.5", "1.0"}));
    EXPECT_EQ(swatch(panel.map_tree, 1, 0), QColor(40, 50, 30));

    // A file without entries keeps the map; the tree and the view still follow it.
    dialogs.file_answers = {QString::fromStdString(dir.write("e.map", "nothing here\n"))};
    const std::string out = printed(console, [&] { panel.load_event(); });
    EXPECT_NE(out.find("the colour map is unchanged"), std::string::npos) << out;
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], sent[0]);

    // A cancelled dialog rebuilds the tree and sends.
    panel.map_tree->clear();
    panel.load_event();
    EXPECT_EQ(sent.size(), 3u);
    EXPECT_EQ(texts().size(), 3);
}

TEST_F(TerrainPanel, HeightmapsAndApply)
{
    RgbaImage image;
    image.width = 2;
    image.height = 1;
    image.pixels = {0, 0, 0, 255, 255, 255, 255, 255};
    std::string error;
    ASSERT_TRUE(write_png(dir.file("h.png"), image, error));
    dialogs.file_answers = {QString::fromStdString(dir.file("h.png"))};
    QTest::mouseClick(button(panel, "Load Heightmap"), Qt::LeftButton);

    // Not a picture: the heightmap and preview stay.
    const QString text = QString::fromStdString(dir.write("t.png", "text"));
    dialogs.file_answers = {text};
    const std::string out = printed(console, [&] { panel.heightmapload_event(); });
    EXPECT_EQ(out.rfind("ERROR: " + text.toStdString() + ": does not load as a PNG image", 0), 0u) << out;
    EXPECT_EQ(panel.heightmap.grey(255, 0), 255);
    EXPECT_EQ(panel.preview->pixmap().toImage().pixelColor(255, 0), white);

    MeshDocument document{console};
    const Mesh& mesh = document.mesh;
    panel.document = &document;
    panel.gridres_event(3);
    printed(console, [&] { panel.apply_terrain(); });
    EXPECT_EQ(mesh.nv, 9);
    // Row 0, column 2 reads pixel 170 of the stretched picture.
    EXPECT_FLOAT_EQ(mesh.vertices[5].y, 64.0f * float(panel.heightmap.grey(170, 0)) / 256);
    EXPECT_GT(mesh.vertices[5].y, 40.0f);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], TerrainSent({black, white}, {0.0f, 1.0f}));
}
