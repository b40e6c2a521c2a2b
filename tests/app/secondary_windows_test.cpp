// The instrument, song details, add-on information and about windows over the real add-ons.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QWidget>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "app/about_window.h"
#include "app/addon_info_window.h"
#include "app/instrument_window.h"
#include "app/song_details_window.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/song.h"
#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/check_box.h"
#include "platform/interface/list_view.h"
#include "platform/interface/menu.h"
#include "platform/interface/menu_bar.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/screen.h"
#include "platform/interface/string_item.h"
#include "platform/interface/text_control.h"
#include "platform/interface/text_view.h"
#include "tests/app/app_environment.h"

namespace {

constexpr uint32 kRename = 156;
constexpr uint32 kCreate = four_cc("crea");
constexpr rgb_color kGrey = {216, 216, 216, 255};

void Settle() {
    gui_thread::ProcessEvents();
}

void Locked(BWindow* window, const std::function<void()>& work) {
    window->Lock();
    work();
    window->Unlock();
}

template <class View>
View* Find(BWindow* window, const char* name) {
    return dynamic_cast<View*>(window->FindView(name));
}

rgb_color At(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return {uchar(qRed(p)), uchar(qGreen(p)), uchar(qBlue(p)), 255};
}

// Pixels of the rectangle (window coordinates) that pass the test.
int Count(const QImage& image, BRect area, bool (*test)(QRgb)) {
    int count = 0;
    for (int y = int(area.top); y <= int(area.bottom); ++y)
        for (int x = int(area.left); x <= int(area.right); ++x) count += test(image.pixel(x, y));
    return count;
}

QImage Snap(BWindow* window, const char* file) {
    QImage image;
    Locked(window, [&] { image = window->Snapshot(); });
    image.save(QString("/tmp/") + file);
    // With the native controls, to look at.
    window->Canvas()->grab().save(QString("/tmp/full_") + file);
    return image;
}

// As the keyboard would: the field's text replaced by what is typed.
QLineEdit* TypeInto(BTextControl* control, const std::string& text) {
    auto* edit = control->Widget()->findChild<QLineEdit*>();
    edit->selectAll();
    for (char c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
        QCoreApplication::sendEvent(edit, &press);
    }
    Settle();
    return edit;
}

void PressEnter(QLineEdit* edit) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(edit, &press);
    Settle();
}

class InstrumentWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        if (instrumentwindow == nullptr) new InstrumentWindow;
        window = instrumentwindow;
        song->New();
        window->Update();
        window->Show();
        Settle();
        list = Find<BListView>(window, "ListView");
        name = Find<BTextControl>(window, "txtName");
        ASSERT_NE(list, nullptr);
        ASSERT_NE(name, nullptr);
        midi = instrument_roster.Find("Midi");
        ASSERT_GE(midi, 0);
        ShownErrors().clear();
    }
    void TearDown() override {
        window->PostMessage(B_QUIT_REQUESTED);
        song->New();
        window->Update();
        Settle();
    }
    void Select(int32 slot) {
        Locked(window, [&] { list->Select(slot); });
        Settle();
    }
    void Create(int32 addon) {
        BMessage request(kCreate);
        request.AddInt32("nr", addon);
        window->PostMessage(&request);
        Settle();
    }
    Instrument* CreateMidi(int32 slot) {
        Select(slot);
        Create(midi);
        return song->instruments[slot];
    }
    std::string Row(int32 slot) { return static_cast<BStringItem*>(list->ItemAt(slot))->Text(); }
    std::string NameIn(int32 slot) { return song->instruments[slot].load()->GetName(); }
    int32 Filled() {
        int32 filled = 0;
        for (auto& slot : song->instruments) filled += slot.load() != nullptr;
        return filled;
    }

    InstrumentWindow* window = nullptr;
    BListView* list = nullptr;
    BTextControl* name = nullptr;
    int32 midi = -1;
};

TEST_F(InstrumentWindowTest, LayoutGivesFrameLimitsListAndMenu) {
    EXPECT_EQ(window->Frame(), BRect(571, 63, 699, 282));
    float minW, maxW, minH, maxH;
    window->GetSizeLimits(&minW, &maxW, &minH, &maxH);
    EXPECT_EQ(BRect(minW, minH, maxW, maxH), BRect(128, 150, 192, 10000));
    EXPECT_EQ(list->CountItems(), Song::kInstrumentSlots);
    EXPECT_EQ(list->Parent()->Frame(), window->FindView("listview")->Bounds());
    EXPECT_STREQ(name->Text(), "<uncreated>");
    EXPECT_FALSE(name->IsEnabled());

    BMenu* menu = Find<BMenuBar>(window, "menubar")->SubmenuAt(0);
    ASSERT_EQ(menu->CountItems(), instrument_roster.count + 2);
    BMenuItem* add = menu->ItemAt(0);
    int32 nr = -1;
    add->Message()->FindInt32("nr", &nr);
    EXPECT_STREQ(add->Label(), "Add Midi");
    EXPECT_EQ(add->Command(), kCreate);
    EXPECT_EQ(nr, midi);
    EXPECT_EQ(add->Shortcut(), '1');
    BMenuItem* remove = menu->ItemAt(instrument_roster.count + 1);
    EXPECT_STREQ(remove->Label(), "Remove");
    EXPECT_EQ(remove->Command(), 131u);
    EXPECT_EQ(remove->Shortcut(), '-');
}

TEST_F(InstrumentWindowTest, CreatesARealMidiInstrumentIntoTheSelectedSlotAndRenamesIt) {
    Instrument* made = CreateMidi(3);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->addon_name, "Midi");
    EXPECT_EQ(Filled(), 1);
    EXPECT_EQ(Row(3), "Midi");
    EXPECT_STREQ(name->Text(), "Midi");
    EXPECT_TRUE(name->IsEnabled());

    PressEnter(TypeInto(name, "Lead"));
    EXPECT_STREQ(made->GetName(), "Lead");
    EXPECT_EQ(Row(3), "Lead");
    const std::vector<char> bytes = song->FileBytes();
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("Lead"), std::string::npos);
}

TEST_F(InstrumentWindowTest, ShortcutAddsAndDataRefreshesTheSelectedRow) {
    Select(9);
    Locked(window, [&] { window->DeliverKeyDown("1", B_COMMAND_KEY); });
    Settle();
    ASSERT_NE(song->instruments[9].load(), nullptr);
    // Renamed elsewhere, as the instrument's own window may do.
    song->instruments[9].load()->SetName("Strings");
    window->PostMessage(four_cc("DATA"));
    Settle();
    EXPECT_EQ(Row(9), "Strings");
}

TEST_F(InstrumentWindowTest, SelectedRowIsMarkedAndShowsItsName) {
    CreateMidi(3);
    const QImage image = Snap(window, "instrument_window.png");
    ASSERT_EQ(image.size(), QSize(129, 220));
    EXPECT_EQ(At(image, 125, 207), kGrey);
    const BRect selected = list->ConvertToWindow(list->ItemFrame(3));
    const BRect empty = list->ConvertToWindow(list->ItemFrame(5));
    auto dark = [](QRgb p) { return qGray(p) < 100; };
    EXPECT_GT(Count(image, selected, dark), 15);
    EXPECT_EQ(Count(image, empty, dark), 0);
    // Marked right across, away from its text.
    const int x = int(selected.right) - 3;
    EXPECT_FALSE(At(image, x, int(selected.top + selected.bottom) / 2) ==
                 At(image, x, int(empty.top + empty.bottom) / 2));
}

TEST_F(InstrumentWindowTest, EmptySlotShowsUncreatedInADisabledFieldThatRenamesNothing) {
    CreateMidi(3);
    Select(7);
    EXPECT_STREQ(name->Text(), "<uncreated>");
    EXPECT_FALSE(name->Widget()->findChild<QLineEdit*>()->isEnabled());
    Locked(window, [&] { name->SetText("Ghost"); });
    window->PostMessage(kRename);
    Settle();
    EXPECT_EQ(song->instruments[7].load(), nullptr);
    EXPECT_EQ(Row(7), "");
    EXPECT_EQ(NameIn(3), "Midi");
}

TEST_F(InstrumentWindowTest, AddingWithNoRowSelectedDoesNothing) {
    Create(midi);
    EXPECT_EQ(Filled(), 0);
    EXPECT_TRUE(ShownErrors().empty());
}

TEST_F(InstrumentWindowTest, NameLeftForAnotherRowRenamesTheInstrumentEditedWhateverComesFirst) {
    CreateMidi(5);
    CreateMidi(3);
    // Focus loss commits as the click lands; the click's selection may come either side.
    QLineEdit* edit = TypeInto(name, "Bass");
    emit edit->editingFinished();
    Select(5);
    EXPECT_EQ(NameIn(3), "Bass");
    EXPECT_STREQ(name->Text(), "Midi");

    Select(3);
    TypeInto(name, "Keys");
    window->PostMessage(kRename);
    Select(5);
    EXPECT_EQ(NameIn(3), "Keys");
    EXPECT_EQ(Row(3), "Keys");
    EXPECT_EQ(NameIn(5), "Midi");
    EXPECT_EQ(Row(5), "Midi");
}

TEST_F(InstrumentWindowTest, NameCommittedAsTheWindowHidesRenamesItsInstrumentOrNone) {
    CreateMidi(3);
    QLineEdit* edit = TypeInto(name, "Hidden");
    window->PostMessage(B_QUIT_REQUESTED);
    emit edit->editingFinished();
    Settle();
    EXPECT_TRUE(window->IsHidden());
    EXPECT_EQ(NameIn(3), "Hidden");

    TypeInto(name, "Stale");
    window->PostMessage(kRename);
    song->New();
    window->Update();
    Settle();
    EXPECT_EQ(Filled(), 0);
    EXPECT_STREQ(name->Text(), "<uncreated>");
}

TEST_F(InstrumentWindowTest, UpdateShowsTheOpenedSongsInstrumentsAndSelectsNone) {
    CreateMidi(2);
    PressEnter(TypeInto(name, "Pad"));
    const std::string path = testing::TempDir() + "instrument_window.vel";
    ASSERT_EQ(song->Save(path.c_str()), 1);
    song->New();
    window->Update();
    EXPECT_EQ(Row(2), "");
    EXPECT_EQ(list->CurrentSelection(), -1);
    ASSERT_EQ(song->Open(path.c_str()), 1);
    window->Update();
    EXPECT_EQ(Row(2), "Pad");
    std::remove(path.c_str());
}

TEST_F(InstrumentWindowTest, AddonThatMakesNoInstrumentLeavesTheSlotAsItWas) {
    Instrument* before = CreateMidi(4);
    // A machine add-on listed among the instruments makes an object that is no instrument.
    const int32 tempo = machine_roster.Find("Tempo");
    ASSERT_GE(tempo, 0);
    const int32 fake = instrument_roster.count++;
    instrument_roster.names[fake] = "Tempo";
    instrument_roster.paths[fake] = machine_roster.paths[tempo];
    Create(fake);
    Create(fake + 1);
    instrument_roster.count--;
    EXPECT_EQ(song->instruments[4].load(), before);
    EXPECT_EQ(Row(4), "Midi");
    EXPECT_EQ(ShownErrors(), (std::vector<std::string>{"Can't create the instrument Tempo.",
                                                       "Can't create the instrument ."}));
}

// Run with the sanitizers, this catches an instrument freed while the sound thread plays it.
TEST_F(InstrumentWindowTest, InstrumentThePreviewPlaysIsReplacedSafely) {
    CreateMidi(6);
    std::atomic<bool> done{false};
    // A MIDI keyboard playing the slot all the while.
    std::thread keyboard([&done] {
        while (!done) PlaySetNote(6, 60);
    });
    for (int i = 0; i < 40; i++) {
        PressEnter(TypeInto(name, "Take " + std::to_string(i)));
        Create(midi);
        EXPECT_EQ(NameIn(6), "Midi");
    }
    done = true;
    keyboard.join();
    EXPECT_EQ(Filled(), 1);
}

class SongDetailsWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        if (songdetailswindow == nullptr) new SongDetailsWindow;
        window = songdetailswindow;
        song->New();
        window->Reload();
        title = Find<BTextControl>(window, "txtSongTitle");
        check = Find<BCheckBox>(window, "ShowOnOpen");
        text = Find<BTextView>(window, "text");
        ASSERT_NE(title, nullptr);
        ASSERT_NE(check, nullptr);
        ASSERT_NE(text, nullptr);
    }
    void TearDown() override {
        Close();
        song->New();
        window->Reload();
    }
    void Show() {
        window->Show();
        Settle();
    }
    void Close() {
        window->PostMessage(B_QUIT_REQUESTED);
        Settle();
    }
    // The song as its file brings it back.
    Song& SavedAndOpened() {
        const std::string path = testing::TempDir() + "song_details.vel";
        EXPECT_EQ(song->Save(path.c_str()), 1);
        song->New();
        EXPECT_EQ(song->Open(path.c_str()), 1);
        std::remove(path.c_str());
        return *song;
    }

    SongDetailsWindow* window = nullptr;
    BTextControl* title = nullptr;
    BCheckBox* check = nullptr;
    BTextView* text = nullptr;
};

TEST_F(SongDetailsWindowTest, ShowsTheSongsTitleDetailsAndFlag) {
    song->title = "Night Drive";
    song->details = "Created by: Ana\nTempo 128";
    song->show_details_window = true;
    Show();
    EXPECT_FALSE(window->IsHidden());
    EXPECT_STREQ(title->Text(), "Night Drive");
    EXPECT_EQ(title->Widget()->findChild<QLineEdit*>()->text(), "Night Drive");
    EXPECT_STREQ(text->Text(), "Created by: Ana\nTempo 128");
    EXPECT_EQ(check->Value(), B_CONTROL_ON);
    EXPECT_STREQ(check->Label(), "Show on open");
    EXPECT_EQ(text->Parent()->Parent(), window->FindView("detailsview"));
    const QImage image = Snap(window, "song_details_window.png");
    // The "Details" label over the text, on the window's grey.
    auto dark = [](QRgb p) { return qGray(p) < 100; };
    EXPECT_GT(Count(image, BRect(8, 36, 60, 52), dark), 20);
    EXPECT_EQ(At(image, 3, 120), kGrey);
}

TEST_F(SongDetailsWindowTest, EditedTitleIsSavedOnlyOnceTheWindowClosed) {
    Show();
    TypeInto(title, "Second Take");
    EXPECT_EQ(SavedAndOpened().title, "Unnamed");

    Show();
    TypeInto(title, "Second Take");
    Locked(window, [&] {
        text->SetText("Created by: Bo");
        check->SetValue(B_CONTROL_ON);
    });
    Close();
    EXPECT_TRUE(window->IsHidden());
    EXPECT_TRUE(BMessenger(window).IsValid());
    const Song& saved = SavedAndOpened();
    EXPECT_EQ(saved.title, "Second Take");
    EXPECT_EQ(saved.details, "Created by: Bo");
    EXPECT_TRUE(saved.show_details_window);
}

TEST_F(SongDetailsWindowTest, ReloadAfterNewDropsTheOldEditsInsteadOfStampingThem) {
    song->title = "Old Song";
    Show();
    TypeInto(title, "Old Song, edited");
    Locked(window, [&] { check->SetValue(B_CONTROL_ON); });

    song->New();
    window->Reload();
    Settle();
    EXPECT_EQ(title->Widget()->findChild<QLineEdit*>()->text(), "Unnamed");
    EXPECT_STREQ(text->Text(), "Created by:");
    Close();
    EXPECT_EQ(song->title, "Unnamed");
    EXPECT_FALSE(song->show_details_window);
}

TEST_F(SongDetailsWindowTest, ShowingAShownWindowKeepsWhatIsBeingTyped) {
    Show();
    TypeInto(title, "Draft");
    Show();
    EXPECT_STREQ(title->Text(), "Draft");
    Close();
    song->title = "Changed elsewhere";
    Show();
    EXPECT_STREQ(title->Text(), "Changed elsewhere");
}

TEST(AddonInfoWindowTest, ListsEveryAddOnUnderItsKindWithItsInformation) {
    auto* window = new AddonInfoWindow;
    BMessenger messenger(window);
    Settle();
    Roster lost;
    lost.names[0] = "Ghost";
    lost.paths[0] = "machines/NoSuchAddOn";
    lost.count = 1;
    std::string text;
    Locked(window, [&] {
        EXPECT_FALSE(window->TextView()->IsEditable());
        window->InsertInfo("Lost\n", &lost);
        text = window->TextView()->Text();
    });
    const size_t machines = text.find("Machines\n========\n");
    const size_t instruments = text.find("Instruments\n===========\n");
    const size_t importers = text.find("Importers\n=========\n\n    None found\n\n");
    EXPECT_LT(machines, instruments);
    EXPECT_LT(instruments, importers);
    for (const char* machine : {"Gridloom", "Plugbay", "Repeat", "Tempo", "Midi"}) {
        const size_t at = text.find(std::string(machine) +
                                    "\n    Info: Standard component\n"
                                    "    Developer: The Velloran developers\n\n");
        EXPECT_GT(at, machines) << machine;
        EXPECT_LT(at, std::string(machine) == "Midi" ? importers : instruments) << machine;
    }
    EXPECT_NE(text.find("Lost\n====\n\nGhost\n    No information\n\n"), std::string::npos);
    Snap(window, "addon_info_window.png");
    window->PostMessage(B_QUIT_REQUESTED);
    Settle();
    EXPECT_FALSE(messenger.IsValid());
}

class AboutWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(aboutwindow, nullptr);
        window = new AboutWindow;
        Settle();
    }
    void TearDown() override {
        if (aboutwindow != nullptr && aboutwindow->Lock()) aboutwindow->Quit();
        Settle();
    }

    AboutWindow* window = nullptr;
};

TEST_F(AboutWindowTest, ShowsItselfCentredWithNameVersionAndPurpose) {
    EXPECT_EQ(aboutwindow, window);
    window->Show();
    EXPECT_FALSE(window->IsHidden());
    const BRect screen = BScreen().Frame();
    const BRect frame = window->Frame();
    EXPECT_NEAR(frame.left + frame.Width() / 2, screen.Width() / 2, 1);
    EXPECT_NEAR(frame.top + frame.Height() / 2, screen.Height() / 2, 1);

    const QImage image = Snap(window, "about_window.png");
    EXPECT_EQ(At(image, 100, 2), (rgb_color{20, 119, 175, 255}));
    EXPECT_EQ(At(image, 10, 150), (rgb_color{36, 40, 48, 255}));
    const BRect name(0, 30, frame.Width(), 60);
    const BRect pads(0, 77, frame.Width(), 77);
    EXPECT_GT(Count(image, name, [](QRgb p) { return qGray(p) > 200; }), 200);
    EXPECT_GT(Count(image, pads, [](QRgb p) { return p == qRgb(240, 180, 40); }), 40);
}

TEST_F(AboutWindowTest, ClickEscapeTheCloseButtonOrTheApplicationCloseIt) {
    const std::function<void(AboutWindow*)> ways[] = {
        [](AboutWindow* w) { Locked(w, [w] { w->DeliverMouseDown(BPoint(50, 50), 1); }); },
        [](AboutWindow* w) { Locked(w, [w] { w->DeliverKeyDown("\x1b", 0); }); },
        [](AboutWindow* w) { w->PostMessage(B_QUIT_REQUESTED); },
        [](AboutWindow* w) {
            if (w->Lock()) w->Quit();
        },
    };
    for (const auto& close : ways) {
        if (aboutwindow == nullptr) window = new AboutWindow;
        BMessenger messenger(window);
        Locked(window, [this] { window->DeliverKeyDown("a", 0); });
        Settle();
        ASSERT_EQ(aboutwindow, window);
        close(window);
        Settle();
        EXPECT_EQ(aboutwindow, nullptr);
        EXPECT_FALSE(messenger.IsValid());
    }
}

}  // namespace
