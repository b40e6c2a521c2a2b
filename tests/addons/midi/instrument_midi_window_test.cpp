// The Midi instrument's window over the real add-on, on the offscreen display: its layout and
// pixels, what its controls show and write, and that it never reaches a freed instrument.
#include "addons/Midi/instrument_midi_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "addons/Midi/gm_names.h"
#include "addons/Midi/instrument_midi.h"
#include "engine/midi_connections.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/box.h"
#include "platform/interface/font.h"
#include "platform/interface/menu.h"
#include "platform/interface/menu_field.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/string_view.h"
#include "platform/interface/text_control.h"
#include "platform/kernel/os.h"
#include "tests/engine/engine_environment.h"
#include "tests/platform/midi/recording_consumer.h"

namespace {

// The name ALSA gives its loop-back port: 32 characters, one more than a 32-byte buffer holds.
constexpr const char* kThrough = "Midi Through:Midi Through Port-0";
// The port the instrument tests record from; no system has it.
constexpr const char* kRecorderPort = "Velloran test recorder";
// 50 bytes, then a two-byte "é" that the 51 bytes an instrument keeps would split.
const std::string kLongPort = std::string(50, 'p') + "\xc3\xa9 and more";
const std::string kLongPortStored = std::string(50, 'p');

constexpr rgb_color kGrey = {216, 216, 216, 255};

std::vector<std::string> TwoPorts() {
    return {kThrough, kRecorderPort};
}

std::vector<std::string> ThreePorts() {
    return {kThrough, kRecorderPort, kLongPort};
}

std::vector<std::string> NoPorts() {
    return {};
}

void Settle() {
    for (int i = 0; i < 3; i++) gui_thread::ProcessEvents();
}

uint32 NowMs() {
    return uint32(system_time() / 1000);
}

rgb_color At(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return {uchar(qRed(p)), uchar(qGreen(p)), uchar(qBlue(p)), 255};
}

// Pixels of the rectangle (window coordinates) darker than the grey around the text.
int Dark(const QImage& image, BRect area) {
    int count = 0;
    for (int y = int(area.top); y <= int(area.bottom); ++y)
        for (int x = int(area.left); x <= int(area.right); ++x)
            count += qGray(image.pixel(x, y)) < 120;
    return count;
}

// Once a menu is open, triggers the item at the end of the labels, through submenus.
void PickPathWhenOpen(const std::vector<QString>& path) {
    QTimer::singleShot(10, [path] {
        QMenu* open = BMenu::OpenQMenu();
        if (open == nullptr) return PickPathWhenOpen(path);
        QMenu* menu = open;
        for (size_t depth = 0; depth < path.size(); depth++) {
            QAction* found = nullptr;
            for (QAction* action : menu->actions())
                if (action->text() == path[depth]) found = action;
            if (found != nullptr && depth + 1 == path.size()) return found->trigger();
            menu = found != nullptr ? found->menu() : nullptr;
            if (menu == nullptr) break;
        }
        ADD_FAILURE() << "no item " << path.back().toStdString();
        open->close();
    });
}

class MidiWindow : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        InstrumentMidiWindow::SetPortLister(TwoPorts);
        first = Create(0);
        second = Create(1);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        FILLBUFFER_TIME = int32(NowMs());
    }

    void TearDown() override {
        if (BWindow* shown = Window()) {
            shown->PostMessage(B_QUIT_REQUESTED);
            Settle();
        }
        InstrumentMidiWindow::SetPortLister(nullptr);
        song->New();
    }

    // A Midi instrument made by the add-on, in song slot slot.
    static InstrumentMidi* Create(int32 slot) {
        auto* made = dynamic_cast<InstrumentMidi*>(instrument_roster.Create("Midi"));
        delete song->instruments[slot].exchange(made);
        return made;
    }

    static void Destroy(int32 slot) { delete song->instruments[slot].exchange(nullptr); }

    // The add-on's one window, once an instrument has asked for it.
    static InstrumentMidiWindow* Window() {
        InstrumentMidiWindow* found = nullptr;
        looper_registry::ForEachGuiLooper([&](BLooper* looper) {
            if (auto* window = dynamic_cast<InstrumentMidiWindow*>(looper)) found = window;
        });
        return found;
    }

    // Shows the window for instrument and finds its controls.
    InstrumentMidiWindow* ShowFor(InstrumentMidi* instrument) {
        instrument->ShowWindow();
        Settle();
        InstrumentMidiWindow* window = Window();
        EXPECT_NE(window, nullptr);
        if (window == nullptr) return nullptr;
        window->Lock();
        port = dynamic_cast<BMenuField*>(window->FindView("mnuPort"));
        channel = dynamic_cast<BMenuField*>(window->FindView("mnuChannel"));
        program = dynamic_cast<BMenuField*>(window->FindView("mnuGM"));
        offset = dynamic_cast<BTextControl*>(window->FindView("txtTimeOfs"));
        window->Unlock();
        EXPECT_TRUE(port != nullptr && channel != nullptr && program != nullptr &&
                    offset != nullptr);
        return window;
    }

    // As the user does: opens the field's menu with its button and picks through the labels.
    void Choose(BMenuField* field, const std::vector<QString>& path) {
        PickPathWhenOpen(path);
        field->Widget()->findChild<QPushButton*>()->click();
        Settle();
    }

    QLineEdit* OffsetEdit() { return offset->Widget()->findChild<QLineEdit*>(); }

    // As the keyboard would: the field's text replaced by what is typed, not yet committed.
    void Type(const std::string& text) {
        QLineEdit* edit = OffsetEdit();
        edit->selectAll();
        for (char c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
            QCoreApplication::sendEvent(edit, &press);
        }
        Settle();
    }

    void PressEnter() {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(OffsetEdit(), &press);
        Settle();
    }

    void LeaveField() {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(OffsetEdit(), &out);
        Settle();
    }

    // The offset typed and committed with Enter; what the field shows afterwards.
    std::string CommitOffset(const std::string& text) {
        Type(text);
        PressEnter();
        return offset->Text();
    }

    static std::string ButtonText(BMenuField* field) {
        // The button adds an arrow after the label.
        return field->Widget()->findChild<QPushButton*>()->text().section("  ", 0, 0).toStdString();
    }

    static std::string Marked(BMenuField* field) {
        BMenuItem* marked = field->Menu()->FindMarked();
        return marked != nullptr ? marked->Label() : "";
    }

    static std::vector<std::string> Labels(BMenu* menu) {
        std::vector<std::string> labels;
        for (int32 i = 0; i < menu->CountItems(); i++) labels.push_back(menu->ItemAt(i)->Label());
        return labels;
    }

    // The settings an instrument saves.
    struct Saved {
        int32 prognum = -1, syncofs = -1, channel = -1;
        std::string port;
    };
    static Saved SavedBy(InstrumentMidi* instrument) {
        BMessage message;
        instrument->Save(&message);
        Saved saved;
        message.FindInt32("prognum", &saved.prognum);
        message.FindInt32("syncofs", &saved.syncofs);
        message.FindInt32("channel", &saved.channel);
        message.FindString("port_name", &saved.port);
        return saved;
    }

    // The note's first call, at the start of the step.
    static void Play(InstrumentMidi* instrument, int32 key) {
        NoteInfo note;
        note.note = key;
        note.offset = 0;
        note.time = 0;
        instrument->Process(nullptr, nullptr, 0, &note);
    }

    InstrumentMidi* first = nullptr;
    InstrumentMidi* second = nullptr;
    BMenuField* port = nullptr;
    BMenuField* channel = nullptr;
    BMenuField* program = nullptr;
    BTextControl* offset = nullptr;
};

}  // namespace

TEST_F(MidiWindow, TheLayoutFromTheAddOnsOwnFilePlacesEveryControl) {
    InstrumentMidiWindow* window = ShowFor(first);
    ASSERT_NE(window, nullptr);
    window->Lock();
    EXPECT_STREQ(window->Title(), "Midi instrument");
    EXPECT_STREQ(window->LayoutName(), "InstrumentMidiWindow");
    EXPECT_EQ(window->Frame(), BRect(714, 305, 884, 485));
    EXPECT_TRUE(window->Flags() & B_NOT_RESIZABLE);
    EXPECT_FALSE(window->IsHidden());

    EXPECT_EQ(port->Frame(), BRect(4, 5, 164, 27));
    EXPECT_STREQ(port->Label(), "Port:");
    EXPECT_EQ(channel->Frame(), BRect(4, 28, 164, 50));
    EXPECT_STREQ(channel->Label(), "Channel:");
    EXPECT_EQ(program->Frame(), BRect(4, 57, 164, 79));
    EXPECT_STREQ(program->Label(), "GM:");
    for (BMenuField* field : {port, channel, program}) {
        EXPECT_TRUE(field->Menu()->IsRadioMode()) << field->Name();
        EXPECT_TRUE(field->Menu()->IsLabelFromMarked()) << field->Name();
    }

    auto* box = dynamic_cast<BBox*>(offset->Parent());
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->Label(), "Sync");
    EXPECT_EQ(box->Frame(), BRect(5, 84, 166, 177));
    EXPECT_EQ(offset->Frame(), BRect(7, 64, 154, 83));
    EXPECT_STREQ(offset->Label(), "Time offset");
    ASSERT_NE(offset->Message(), nullptr);
    EXPECT_EQ(offset->Message()->what, 103u);
    const struct {
        BRect frame;
        const char* text;
    } hints[] = {{BRect(8, 16, 139, 30), "Should only be needed with"},
                 {BRect(8, 26, 137, 40), "software/emulated synths."},
                 {BRect(8, 36, 154, 50), "Around -70 is good for Internal"},
                 {BRect(8, 46, 40, 60), "Synth."}};
    int32 found = 0;
    for (int32 i = 0; i < box->CountChildren(); i++) {
        auto* text = dynamic_cast<BStringView*>(box->ChildAt(i));
        if (text == nullptr) continue;
        ASSERT_LT(found, 4);
        EXPECT_EQ(text->Frame(), hints[found].frame);
        EXPECT_STREQ(text->Text(), hints[found].text);
        // Each line shows whole in its frame.
        EXPECT_LE(text->StringWidth(text->Text()), text->Bounds().Width() + 1) << text->Text();
        found++;
    }
    EXPECT_EQ(found, 4);
    window->Unlock();
}

TEST_F(MidiWindow, TheMenusOfferSixteenChannelsTheGeneralMidiSetAndThePorts) {
    InstrumentMidiWindow* window = ShowFor(first);
    ASSERT_NE(window, nullptr);
    window->Lock();
    BMenu* channels = channel->Menu();
    ASSERT_EQ(channels->CountItems(), 16);
    for (int32 k = 1; k <= 16; k++) {
        BMenuItem* item = channels->ItemAt(k - 1);
        EXPECT_EQ(item->Label(), std::to_string(k));
        EXPECT_EQ(item->Command(), four_cc("chan"));
        int32 nr = 0;
        EXPECT_EQ(item->Message()->FindInt32("nr", &nr), B_OK);
        EXPECT_EQ(nr, k);
    }

    BMenu* families = program->Menu();
    ASSERT_EQ(families->CountItems(), kGmFamilies);
    for (int32 family = 0; family < kGmFamilies; family++) {
        BMenu* submenu = families->SubmenuAt(family);
        ASSERT_NE(submenu, nullptr);
        EXPECT_STREQ(families->ItemAt(family)->Label(), gm_nametitles[family]);
        EXPECT_EQ(submenu->Layout(), B_ITEMS_IN_COLUMN);
        BFont font;
        submenu->GetFont(&font);
        EXPECT_EQ(font, *be_plain_font);
        ASSERT_EQ(submenu->CountItems(), 8);
        for (int32 i = 0; i < 8; i++) {
            BMenuItem* item = submenu->ItemAt(i);
            int32 nr = -1;
            EXPECT_EQ(item->Command(), uint32('g') << 8 | uint32('m'));
            EXPECT_EQ(item->Message()->FindInt32("nr", &nr), B_OK);
            EXPECT_EQ(nr, family * 8 + i);
            EXPECT_STREQ(item->Label(), gm_names[nr]);
        }
    }

    // The platform's ports in its order, then the internal synthesizer.
    EXPECT_EQ(Labels(port->Menu()),
              (std::vector<std::string>{kThrough, kRecorderPort, "Internal Synth"}));
    for (int32 i = 0; i < port->Menu()->CountItems(); i++) {
        BMenuItem* item = port->Menu()->ItemAt(i);
        const char* name = nullptr;
        EXPECT_EQ(item->Command(), four_cc("port"));
        EXPECT_EQ(item->Message()->FindString("name", &name), B_OK);
        EXPECT_STREQ(name, item->Label());
    }
    window->Unlock();
}

TEST_F(MidiWindow, ADefaultInstrumentShowsItsValuesAndInternalSynthIsMarked) {
    ShowFor(first);
    EXPECT_STREQ(offset->Text(), "0");
    EXPECT_EQ(OffsetEdit()->text(), "0");
    EXPECT_EQ(Marked(channel), "1");
    EXPECT_EQ(Marked(port), "Internal Synth");
    EXPECT_EQ(ButtonText(port), "Internal Synth");
    EXPECT_EQ(ButtonText(channel), "1");
    // The program is named on the button; no item of its menu is marked.
    EXPECT_EQ(ButtonText(program), "ACOUSTIC GRAND");
    for (int32 family = 0; family < kGmFamilies; family++)
        EXPECT_EQ(program->Menu()->SubmenuAt(family)->FindMarked(), nullptr);
}

TEST_F(MidiWindow, WithoutSystemPortsTheMenuStillOffersTheInternalSynth) {
    InstrumentMidiWindow::SetPortLister(NoPorts);
    ShowFor(first);
    EXPECT_EQ(Labels(port->Menu()), (std::vector<std::string>{"Internal Synth"}));
    EXPECT_EQ(Marked(port), "Internal Synth");
}

TEST_F(MidiWindow, ChoosingChannelTenSendsTheNextNoteOnChannelTen) {
    ShowFor(first);
    Choose(port, {kRecorderPort});
    EXPECT_EQ(SavedBy(first).port, kRecorderPort);
    Choose(channel, {"10"});
    EXPECT_EQ(first->channel, 10);
    EXPECT_EQ(Marked(channel), "10");
    EXPECT_EQ(ButtonText(channel), "10");

    RecordingConsumer recorder;
    MyMidi* out = MakeMidiConnection(kRecorderPort);
    out->Connect(&recorder);
    FILLBUFFER_TIME = int32(NowMs());
    Play(first, 60);
    for (bigtime_t end = system_time() + 1000000; system_time() < end && recorder.Count() < 4;)
        snooze(1000);
    out->Disconnect(&recorder);
    const std::vector<RecordedMessage> got = recorder.Messages();
    ASSERT_EQ(got.size(), 4u);
    for (const RecordedMessage& message : got) EXPECT_EQ(message.channel, 10);
}

TEST_F(MidiWindow, ProgramsArePickedFromTheirFamilies) {
    ShowFor(first);
    Choose(program, {"Pianos", "HONKY TONK"});
    EXPECT_EQ(first->prognum, 3);
    EXPECT_EQ(ButtonText(program), "HONKY TONK");
    Choose(program, {"Sound Effects", "GUNSHOT"});
    EXPECT_EQ(first->prognum, 127);
    EXPECT_EQ(ButtonText(program), "GUNSHOT");
    EXPECT_EQ(SavedBy(first).prognum, 127);
    for (int32 family = 0; family < kGmFamilies; family++)
        EXPECT_EQ(program->Menu()->SubmenuAt(family)->FindMarked(), nullptr);
}

TEST_F(MidiWindow, TypedOffsetsAreReadLikeAtoiAndHeldToTenSeconds) {
    ShowFor(first);
    EXPECT_EQ(CommitOffset("-70"), "-70");
    EXPECT_EQ(first->syncofs, -70);
    EXPECT_EQ(CommitOffset("abc"), "0");
    EXPECT_EQ(first->syncofs, 0);
    EXPECT_EQ(CommitOffset("12x"), "12");
    EXPECT_EQ(CommitOffset("+25"), "25");
    EXPECT_EQ(CommitOffset("99999999999999999999"), "10000");
    EXPECT_EQ(first->syncofs, InstrumentMidi::kMaxSyncOffset);
    EXPECT_EQ(CommitOffset("-4294967296"), "-10000");
    EXPECT_EQ(first->syncofs, -InstrumentMidi::kMaxSyncOffset);
    EXPECT_EQ(CommitOffset("10001"), "10000");
    EXPECT_EQ(CommitOffset("-9999"), "-9999");
    EXPECT_EQ(OffsetEdit()->text(), "-9999");
    // Leaving the field commits as Enter does.
    Type("33");
    LeaveField();
    EXPECT_EQ(first->syncofs, 33);
}

TEST_F(MidiWindow, AChannelOutsideOneToSixteenMarksNothing) {
    for (int32 wrong : {0, 17, -1}) {
        first->channel = wrong;
        ShowFor(first);
        EXPECT_EQ(Marked(channel), "") << wrong;
        EXPECT_EQ(ButtonText(channel), std::to_string(wrong));
    }
    first->channel = 16;
    ShowFor(first);
    EXPECT_EQ(Marked(channel), "16");
    // A malformed message is held to the channels there are.
    BMessage far(InstrumentMidiWindow::kChannel);
    far.AddInt32("nr", 99);
    Window()->PostMessage(&far);
    Settle();
    EXPECT_EQ(first->channel, 16);
    BMessage below(InstrumentMidiWindow::kChannel);
    below.AddInt32("nr", -5);
    Window()->PostMessage(&below);
    BMessage none(InstrumentMidiWindow::kProgram);
    Window()->PostMessage(&none);
    BMessage high(InstrumentMidiWindow::kProgram);
    high.AddInt32("nr", 300);
    Window()->PostMessage(&high);
    Settle();
    EXPECT_EQ(first->channel, 1);
    EXPECT_EQ(first->prognum, 127);
}

TEST_F(MidiWindow, PortNamesAreKeptWholeUpToWhatTheInstrumentStores) {
    InstrumentMidiWindow::SetPortLister(ThreePorts);
    ShowFor(first);
    EXPECT_EQ(Labels(port->Menu()), (std::vector<std::string>{kThrough, kRecorderPort,
                                                              kLongPortStored, "Internal Synth"}));
    Choose(port, {kThrough});
    EXPECT_EQ(SavedBy(first).port, kThrough);
    EXPECT_EQ(std::string(kThrough).size(), 32u);
    EXPECT_EQ(Marked(port), kThrough);
    EXPECT_EQ(ButtonText(port), kThrough);

    Choose(port, {QString::fromStdString(kLongPortStored)});
    EXPECT_EQ(SavedBy(first).port, kLongPortStored);
    ShowFor(first);
    EXPECT_EQ(Marked(port), kLongPortStored);

    // A port the system no longer lists is still named on the button, and kept.
    InstrumentMidiWindow::SetPortLister(NoPorts);
    ShowFor(first);
    EXPECT_EQ(Marked(port), "");
    EXPECT_EQ(ButtonText(port), kLongPortStored);
    EXPECT_EQ(SavedBy(first).port, kLongPortStored);
}

TEST_F(MidiWindow, AnAbsentOrEmptyPortNameMeansTheInternalSynth) {
    ShowFor(first);
    Choose(port, {kThrough});
    BMessage absent(InstrumentMidiWindow::kPort);
    Window()->PostMessage(&absent);
    Settle();
    EXPECT_EQ(SavedBy(first).port, "Internal Synth");
    EXPECT_EQ(Marked(port), "Internal Synth");
    Choose(port, {kThrough});
    BMessage empty(InstrumentMidiWindow::kPort);
    empty.AddString("name", "");
    Window()->PostMessage(&empty);
    Settle();
    EXPECT_EQ(SavedBy(first).port, "Internal Synth");
    EXPECT_EQ(first->port.load(), MakeMidiConnection("Internal Synth"));
}

TEST_F(MidiWindow, ShowingItForASecondInstrumentShowsThatOnesValues) {
    BMessage settings;
    settings.AddInt32("prognum", 58);
    settings.AddInt32("syncofs", -70);
    settings.AddInt32("channel", 7);
    settings.AddString("port_name", kThrough);
    second->Open(&settings);
    InstrumentMidiWindow* window = ShowFor(first);
    EXPECT_EQ(ShowFor(second), window) << "one window for every Midi instrument";
    EXPECT_STREQ(offset->Text(), "-70");
    EXPECT_EQ(OffsetEdit()->text(), "-70");
    EXPECT_EQ(Marked(channel), "7");
    EXPECT_EQ(Marked(port), kThrough);
    EXPECT_EQ(ButtonText(program), "TUBA");
    // And edits go to that one.
    Choose(channel, {"3"});
    EXPECT_EQ(second->channel, 3);
    EXPECT_EQ(first->channel, 1);
    ShowFor(first);
    EXPECT_EQ(Marked(channel), "1");
    EXPECT_STREQ(offset->Text(), "0");
    EXPECT_EQ(ButtonText(program), "ACOUSTIC GRAND");
}

TEST_F(MidiWindow, AnOffsetTypedButNotCommittedGoesToTheInstrumentItWasTypedFor) {
    ShowFor(first);
    Type("-30");
    ShowFor(second);
    EXPECT_EQ(first->syncofs, -30);
    EXPECT_EQ(second->syncofs, 0);
    EXPECT_STREQ(offset->Text(), "0");
    // The field's own commit, arriving late, finds the text of the instrument now shown.
    LeaveField();
    EXPECT_EQ(second->syncofs, 0);
    EXPECT_EQ(first->syncofs, -30);
}

TEST_F(MidiWindow, ClosingOnlyHidesAndShowWindowBringsItBack) {
    InstrumentMidiWindow* window = ShowFor(first);
    window->PostMessage(B_QUIT_REQUESTED);
    Settle();
    EXPECT_EQ(Window(), window);
    EXPECT_TRUE(window->IsHidden());
    first->ShowWindow();
    Settle();
    EXPECT_FALSE(window->IsHidden());
    // Shown once more, hidden by one close.
    first->ShowWindow();
    window->PostMessage(B_QUIT_REQUESTED);
    Settle();
    EXPECT_TRUE(window->IsHidden());
}

TEST_F(MidiWindow, AnInstrumentThatGoesIsForgottenAndLateCommitsWriteNothing) {
    InstrumentMidiWindow* window = ShowFor(first);
    Type("55");  // not committed when the instrument goes
    Destroy(0);
    EXPECT_TRUE(window->IsHidden());
    // The field's commit on losing the focus, and one already queued, reach no instrument.
    LeaveField();
    window->PostMessage(InstrumentMidiWindow::kTimeOffset);
    BMessage chan(InstrumentMidiWindow::kChannel);
    chan.AddInt32("nr", 5);
    window->PostMessage(&chan);
    BMessage gm(InstrumentMidiWindow::kProgram);
    gm.AddInt32("nr", 5);
    window->PostMessage(&gm);
    BMessage to(InstrumentMidiWindow::kPort);
    to.AddString("name", kThrough);
    window->PostMessage(&to);
    Settle();
    EXPECT_TRUE(window->IsHidden());

    // Shown again for another instrument: its values, not what was typed for the gone one.
    EXPECT_EQ(ShowFor(second), window);
    EXPECT_FALSE(window->IsHidden());
    EXPECT_STREQ(offset->Text(), "0");
    const Saved untouched = SavedBy(second);
    EXPECT_EQ(untouched.syncofs, 0);
    EXPECT_EQ(untouched.channel, 1);
    EXPECT_EQ(untouched.prognum, 0);
    EXPECT_EQ(untouched.port, "Internal Synth");

    // An instrument the window does not show goes without touching it.
    InstrumentMidi* third = Create(2);
    ASSERT_NE(third, nullptr);
    Destroy(2);
    EXPECT_FALSE(window->IsHidden());
    Choose(channel, {"4"});
    EXPECT_EQ(second->channel, 4);
}

TEST_F(MidiWindow, AClearedSongLeavesTheWindowHiddenAndEditingNothing) {
    InstrumentMidiWindow* window = ShowFor(second);
    song->New();
    EXPECT_TRUE(window->IsHidden());
    window->PostMessage(InstrumentMidiWindow::kTimeOffset);
    Settle();
    EXPECT_TRUE(window->IsHidden());
}

TEST_F(MidiWindow, EditsInTheWindowAreWhatTheInstrumentSavesAndOpens) {
    ShowFor(first);
    Choose(port, {kThrough});
    Choose(channel, {"7"});
    Choose(program, {"Brass", "TUBA"});
    EXPECT_EQ(CommitOffset("-70"), "-70");
    BMessage saved;
    first->Save(&saved);
    const Saved values = SavedBy(first);
    EXPECT_EQ(values.port, kThrough);
    EXPECT_EQ(values.channel, 7);
    EXPECT_EQ(values.prognum, 58);
    EXPECT_EQ(values.syncofs, -70);

    InstrumentMidi* copy = Create(2);
    copy->Open(&saved);
    ShowFor(copy);
    EXPECT_EQ(Marked(port), kThrough);
    EXPECT_EQ(Marked(channel), "7");
    EXPECT_EQ(ButtonText(program), "TUBA");
    EXPECT_STREQ(offset->Text(), "-70");
    EXPECT_EQ(copy->port.load(), first->port.load());

    // Opened again in place, as undo does, the shown instrument shows its values again.
    BMessage plain;
    Create(3)->Save(&plain);
    copy->Open(&plain);
    copy->Reopened();
    Settle();
    EXPECT_EQ(Marked(channel), "1");
    EXPECT_STREQ(offset->Text(), "0");
}

// The player reads the fields the window writes; every note goes out whole on one channel
// and with one program of those chosen, whatever the window does meanwhile.
TEST_F(MidiWindow, ThePlayerSendsWhileTheWindowChangesPortChannelAndProgram) {
    ShowFor(first);
    Choose(port, {kRecorderPort});
    RecordingConsumer recorder;
    MyMidi* out = MakeMidiConnection(kRecorderPort);
    out->Connect(&recorder);
    FILLBUFFER_TIME = int32(NowMs());
    std::atomic<bool> done{false};
    std::atomic<int> notes{0};
    std::thread player([&] {
        while (!done) {
            Play(first, 60);
            notes++;
            snooze(200);
        }
    });
    InstrumentMidiWindow* window = Window();
    for (int round = 0; round < 60; round++) {
        BMessage chan(InstrumentMidiWindow::kChannel);
        chan.AddInt32("nr", round % 2 != 0 ? 3 : 9);
        window->PostMessage(&chan);
        BMessage gm(InstrumentMidiWindow::kProgram);
        gm.AddInt32("nr", round % 2 != 0 ? 5 : 77);
        window->PostMessage(&gm);
        BMessage to(InstrumentMidiWindow::kPort);
        to.AddString("name", round % 4 == 3 ? kThrough : kRecorderPort);
        window->PostMessage(&to);
        Settle();
    }
    done = true;
    player.join();
    snooze(200000);  // the last notes' offs are due 100 ms after them
    out->Disconnect(&recorder);
    EXPECT_GT(notes.load(), 0);
    const std::vector<RecordedMessage> got = recorder.Messages();
    EXPECT_GT(got.size(), 0u);
    for (const RecordedMessage& message : got) {
        EXPECT_TRUE(message.channel == 1 || message.channel == 3 || message.channel == 9)
            << message.channel;
        if (message.kind == 'p') {
            EXPECT_TRUE(message.data1 == 0 || message.data1 == 5 || message.data1 == 77);
        }
    }
}

TEST_F(MidiWindow, TheWindowDrawsItsBoxAndHintsInsideItsFrame) {
    BMessage settings;
    settings.AddInt32("syncofs", -70);
    settings.AddInt32("channel", 10);
    settings.AddInt32("prognum", 3);
    settings.AddString("port_name", kThrough);
    first->Open(&settings);
    InstrumentMidiWindow* window = ShowFor(first);
    ASSERT_NE(window, nullptr);
    QImage views;
    window->Lock();
    views = window->Snapshot();
    window->Unlock();
    const QImage full = window->Canvas()->grab().toImage();
    full.save("/tmp/midi_window.png");
    ASSERT_EQ(views.size(), QSize(171, 181));
    ASSERT_EQ(full.size(), QSize(171, 181));
    EXPECT_EQ(At(views, 1, 1), kGrey);
    EXPECT_EQ(At(views, 169, 179), kGrey);
    EXPECT_EQ(At(views, 2, 82), kGrey);

    // The etched box, its label on the top edge, and the four lines of hints within it.
    EXPECT_NE(At(views, 5, 130), kGrey);
    EXPECT_NE(At(views, 166, 130), kGrey);
    EXPECT_NE(At(views, 100, 177), kGrey);
    EXPECT_GT(Dark(views, BRect(10, 80, 40, 92)), 10) << "Sync";
    EXPECT_GT(Dark(views, BRect(13, 100, 144, 112)), 40);
    EXPECT_GT(Dark(views, BRect(13, 112, 142, 122)), 40);
    EXPECT_GT(Dark(views, BRect(13, 122, 159, 132)), 40);
    EXPECT_GT(Dark(views, BRect(13, 132, 45, 142)), 10);
    EXPECT_EQ(Dark(views, BRect(160, 95, 164, 145)), 0) << "a hint runs past its frame";
    EXPECT_EQ(Dark(views, BRect(0, 178, 170, 180)), 0);

    // The controls, drawn by the platform, show the instrument's values.
    EXPECT_GT(Dark(full, BRect(60, 8, 160, 24)), 20) << "the port";
    EXPECT_GT(Dark(full, BRect(60, 31, 160, 47)), 5) << "the channel";
    EXPECT_GT(Dark(full, BRect(60, 60, 160, 76)), 20) << "the program";
    EXPECT_GT(Dark(full, BRect(4, 8, 50, 76)), 30) << "the labels";
    EXPECT_EQ(ButtonText(port), kThrough);
    EXPECT_EQ(ButtonText(channel), "10");
    EXPECT_EQ(ButtonText(program), "HONKY TONK");
    EXPECT_EQ(OffsetEdit()->text(), "-70");
}
