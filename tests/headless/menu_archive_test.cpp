// Menus are built, archived and rebuilt with no Qt application.
#include <gtest/gtest.h>

#include "platform/interface/menu_bar.h"
#include "platform/interface/menu_field.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/pop_up_menu.h"

namespace {

TEST(MenuArchive, BarRebuildsWithLabelsShortcutsAndMessages) {
    BMenuBar bar(BRect(0, 0, 299, 19), "bar");
    auto* file = new BMenu("File");
    file->AddItem(new BMenuItem("Save", new BMessage('save'), 's'));
    file->AddItem(new BMenuItem("New song", new BMessage('new '), 'n', B_OPTION_KEY));
    file->AddSeparatorItem();
    auto* recent = new BMenu("Recent");
    recent->AddItem(new BMenuItem("a.song", new BMessage('open')));
    file->AddItem(recent);
    bar.AddItem(file);

    BMessage archive;
    ASSERT_EQ(bar.Archive(&archive), B_OK);
    auto* rebuilt = dynamic_cast<BMenuBar*>(instantiate_object(&archive));
    ASSERT_NE(rebuilt, nullptr);
    BMenu* menu = rebuilt->SubmenuAt(0);
    ASSERT_NE(menu, nullptr);
    EXPECT_STREQ(rebuilt->ItemAt(0)->Label(), "File");
    ASSERT_EQ(menu->CountItems(), 4);
    uint32 mods = 0;
    EXPECT_EQ(menu->ItemAt(0)->Shortcut(&mods), 's');
    EXPECT_EQ(menu->ItemAt(1)->Shortcut(&mods), 'n');
    EXPECT_EQ(mods, uint32(B_OPTION_KEY));
    EXPECT_EQ(menu->ItemAt(1)->Command(), uint32('new '));
    EXPECT_TRUE(menu->ItemAt(2)->IsSeparator());
    EXPECT_EQ(rebuilt->FindItem('open'), menu->SubmenuAt(3)->ItemAt(0));
    EXPECT_EQ(rebuilt->FindShortcut('n', B_COMMAND_KEY | B_SHIFT_KEY), menu->ItemAt(1));
    EXPECT_EQ(rebuilt->FindShortcut('s', B_COMMAND_KEY), menu->ItemAt(0));
    EXPECT_EQ(rebuilt->Frame(), BRect(0, 0, 299, 19));
    delete rebuilt;
}

TEST(MenuArchive, RadioModeKeepsOneMarkAndLabelsFromIt) {
    BMenu holder("holder");
    auto* menu = new BMenu("Mode");
    menu->SetLabelFromMarked(true);
    auto* a = new BMenuItem("A", new BMessage('a'));
    auto* b = new BMenuItem("B", new BMessage('b'));
    menu->AddItem(a);
    menu->AddItem(b);
    holder.AddItem(menu);
    a->SetMarked(true);
    b->SetMarked(true);
    EXPECT_FALSE(a->IsMarked());
    EXPECT_EQ(menu->FindMarked(), b);
    EXPECT_STREQ(menu->Superitem()->Label(), "B");
    menu->SetEnabled(false);
    EXPECT_FALSE(a->IsEnabled());
    EXPECT_EQ(a->Invoke(), B_NOT_ALLOWED);
}

TEST(MenuArchive, MenuFieldRebuildsWithItsPopUpAndShowsTheMark) {
    auto* menu = new BPopUpMenu("Port");
    menu->AddItem(new BMenuItem("Internal Synth", new BMessage('port')));
    menu->AddItem(new BMenuItem("Midi Through", new BMessage('port')));
    menu->ItemAt(1)->SetMarked(true);
    BMenuField field(BRect(4, 5, 164, 27), "mnuPort", "Port:", menu);
    EXPECT_STREQ(field.MenuItem()->Label(), "Midi Through");
    field.SetDivider(40);

    BMessage archive;
    ASSERT_EQ(field.Archive(&archive), B_OK);
    auto* rebuilt = dynamic_cast<BMenuField*>(instantiate_object(&archive));
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_STREQ(rebuilt->Label(), "Port:");
    EXPECT_EQ(rebuilt->Divider(), 40);
    auto* popUp = dynamic_cast<BPopUpMenu*>(rebuilt->Menu());
    ASSERT_NE(popUp, nullptr);
    EXPECT_TRUE(popUp->IsRadioMode());
    EXPECT_STREQ(rebuilt->MenuItem()->Label(), "Midi Through");
    popUp->ItemAt(0)->SetMarked(true);
    EXPECT_STREQ(rebuilt->MenuItem()->Label(), "Internal Synth");
    // With no GUI there is nothing to choose from.
    EXPECT_EQ(popUp->Go(BPoint(0, 0), true), nullptr);
    delete rebuilt;
}

}  // namespace
