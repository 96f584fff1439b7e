// The thin layer over Qt's widgets, off screen.
#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include "tests/support/TempDir.h"
#include "toolkit/ButtonGroup.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Menu.h"
#include "toolkit/TabDialog.h"

TEST(Menu, ItemsCarryTheirIdentifiersIntoActivatedCommandsDoNot)
{
    Menu menu;
    QSignalSpy spy(&menu, &Menu::activated);
    EXPECT_EQ(menu.insert_item("seven", 7), 7);
    EXPECT_EQ(menu.insert_item("zero", 0), 0);
    const int automatic = menu.insert_item("automatic");
    EXPECT_LT(automatic, -1);
    EXPECT_NE(menu.insert_item("another"), automatic);
    QAction* command = menu.insert_command("command", QKeySequence("Ctrl+E"));
    menu.item(0)->trigger();
    menu.item(7)->trigger();
    command->trigger();
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 0);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 7);
    EXPECT_EQ(menu.item_id(command), -1);
}

// Apply and Reload are pressed through the mesh tools dialogue in the wiring test.
TEST(TabDialog, ButtonsShowOnlyWithTextAndCancelHides)
{
    TabDialog dialog;
    EXPECT_TRUE(dialog.apply_button()->isHidden());
    dialog.set_ok_button(QString());
    dialog.set_apply_button("Apply");
    dialog.set_cancel_button("Close");
    EXPECT_TRUE(dialog.ok_button()->isHidden());
    EXPECT_FALSE(dialog.apply_button()->isHidden());
    QWidget* page = new QLabel("page");
    dialog.add_tab(page, "Page");
    dialog.show();
    dialog.cancel_button()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.current_page(), page);
}

TEST(ButtonGroup, StripsAndExclusiveButtons)
{
    ButtonGroup row(1, Qt::Horizontal, "Row:"), three(3, Qt::Vertical, "");
    for (int i = 0; i < 3; ++i) row.add(new QLabel(QString::number(i)));
    for (int i = 0; i < 4; ++i) three.add(new QLabel(QString::number(i)));
    auto* r = static_cast<QGridLayout*>(row.layout());
    auto* t = static_cast<QGridLayout*>(three.layout());
    EXPECT_EQ(QSize(r->columnCount(), r->rowCount()), QSize(3, 1));
    EXPECT_EQ(QSize(t->columnCount(), t->rowCount()), QSize(3, 2));

    ButtonGroup group(1, Qt::Vertical, "Mode:");
    group.set_exclusive(true);
    QPushButton* buttons[3];
    for (QPushButton*& b : buttons) {
        b = new QPushButton("b");
        b->setCheckable(true);
        group.add(b);
    }
    buttons[0]->setChecked(true);
    buttons[2]->click();
    buttons[2]->click();  // a radio button stays on
    EXPECT_FALSE(buttons[0]->isChecked());
    EXPECT_TRUE(buttons[2]->isChecked());
    EXPECT_EQ(group.buttons()->checkedId(), 2);

    // Radio buttons exclude each other in a group that is not exclusive,
    // without taking the other buttons with them.
    ButtonGroup mixed(1, Qt::Vertical);
    auto* box = new QCheckBox("c");
    auto* first = new QRadioButton("r1");
    auto* second = new QRadioButton("r2");
    mixed.add(box);
    mixed.add(first);
    mixed.add(second);
    box->click();
    first->click();
    second->click();
    second->click();
    EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(first->isChecked());
    EXPECT_TRUE(second->isChecked());
}

TEST(Dialogs, DataDirectoryIsTheDataFolderOrTheWorkingDirectory)
{
    TempDir dir;
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.path()));
    const QString here = QDir::currentPath();
    for (const char* missing : {"\\Data", "data", "ColourMaps", "Heightmaps/"})
        EXPECT_EQ(data_directory(missing), here) << missing;
    QDir().mkdir("data");
    QDir().mkdir("Heightmaps");
    EXPECT_EQ(data_directory("\\Data"), here + "/data");
    EXPECT_EQ(data_directory("data"), here + "/data");
    EXPECT_EQ(data_directory("Heightmaps/"), here + "/Heightmaps");
    QDir().mkdir("Data");
    EXPECT_EQ(data_directory("\\Data"), here + "/Data");
    EXPECT_EQ(data_directory("\\data"), here + "/data");
    QDir::setCurrent(before);
}
