// The machine map driven as the display would, on the offscreen display over the real add-ons.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "app/connection_volume.h"
#include "app/machine_map_view.h"
#include "app/machine_map_window.h"
#include "app/playlist_window.h"
#include "app/volume_changer_view.h"
#include "engine/song.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/menu.h"
#include "tests/app/alert_answer.h"
#include "tests/app/app_environment.h"

namespace {

// The map view's place in its window.
const BPoint kView(0, 20);
const QColor kBackground(71, 80, 86);

bool Feeds(const Machine* from, const Machine* to) {
    const int32* outs = from->out_machine + from->num_out_machines;
    const int32* ins = to->in_machine + to->num_in_machines;
    const bool out = std::find(from->out_machine, outs, to->ID) != outs;
    EXPECT_EQ(out, std::find(to->in_machine, ins, from->ID) != ins) << "seen from one end only";
    return out;
}

// Runs act once a pop-up widget is open; a changer still open two seconds on fails the test.
void WhenChangerOpen(std::function<void(QWidget*)> act) {
    QTimer::singleShot(10, [act] {
        QWidget* popup = QApplication::activePopupWidget();
        if (popup == nullptr) return WhenChangerOpen(act);
        QPointer<QWidget> watched(popup);
        act(popup);
        QTimer::singleShot(2000, [watched] {
            if (watched == nullptr || !watched->isVisible()) return;
            ADD_FAILURE() << "the changer stayed open";
            CloseVolumeChanger();
        });
    });
}

BWindow* ChangerWindow() {
    BWindow* found = nullptr;
    looper_registry::ForEachGuiLooper([&](BLooper* looper) {
        auto* window = dynamic_cast<BWindow*>(looper);
        if (window != nullptr && std::string(window->Title()) == "VolumeChanger") found = window;
    });
    return found;
}

void WhenMenuOpen(std::function<void(QMenu*)> act) {
    QTimer::singleShot(10, [act] {
        if (QMenu* menu = BMenu::OpenQMenu()) return act(menu);
        WhenMenuOpen(act);
    });
}

void Trigger(QMenu* menu, const QString& label) {
    for (QAction* action : menu->actions())
        if (action->text() == label) return action->trigger();
    ADD_FAILURE() << "no item " << label.toStdString();
    menu->close();
}

void Mouse(QWidget* canvas, QEvent::Type type, QPointF local, Qt::MouseButton button,
           Qt::MouseButtons held) {
    QMouseEvent event(type, local, canvas->mapToGlobal(local), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas->windowHandle(), &event);
    gui_thread::ProcessEvents();
}

void Click(QWidget* canvas, QPointF local, Qt::MouseButton button) {
    Mouse(canvas, QEvent::MouseButtonPress, local, button, button);
    Mouse(canvas, QEvent::MouseButtonRelease, local, button, Qt::NoButton);
}

class MachineMapTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { OpenPlaylistWindow(); }
    void SetUp() override {
        FreshSong();
        ShownErrors().clear();
        song->machines[0]->position = BPoint(300, 100);
    }
    void TearDown() override { FreshSong(); }

    static void Send(BWindow* window, const BMessage& message) { SendTo(window, message); }
    static Machine* Put(const char* addon, float x, float y) {
        Machine* machine = song->machines[song->AddMachine(addon)];
        machine->DisconnectAll();
        machine->position = BPoint(x, y);
        return machine;
    }
    static MachineMapView* View() { return machinemapwindow->View(); }
    static void Down(BPoint where, uint32 buttons = B_PRIMARY_MOUSE_BUTTON) {
        machinemapwindow->Lock();
        machinemapwindow->DeliverMouseDown(where + kView, buttons);
        machinemapwindow->Unlock();
    }
    static void Move(BPoint where) {
        machinemapwindow->Lock();
        machinemapwindow->DeliverMouseMoved(where + kView, B_PRIMARY_MOUSE_BUTTON);
        machinemapwindow->Unlock();
    }
    static void Up(BPoint where) {
        machinemapwindow->Lock();
        machinemapwindow->DeliverMouseUp(where + kView);
        machinemapwindow->Unlock();
    }
    static void Drag(BPoint from, BPoint to) {
        Down(from);
        Move(to);
        Up(to);
    }
    static QImage Shot() {
        gui_thread::ProcessEvents();
        machinemapwindow->Lock();
        QImage image = machinemapwindow->Snapshot();
        machinemapwindow->Unlock();
        return image;
    }
    static QColor Pixel(const QImage& image, int x, int y) {
        return image.pixelColor(x + int(kView.x), y + int(kView.y));
    }
};

TEST_F(MachineMapTest, PressesOnTheNameStripMoveBoxesAndElsewhereDragConnections) {
    Machine* source = Put("Gridloom", 20, 100);
    Down(BPoint(23, 110));
    EXPECT_EQ(View()->DragFrom(), source->ID);
    EXPECT_EQ(View()->Moving(), -1);
    Up(BPoint(23, 110));
    Down(BPoint(24, 110));
    EXPECT_EQ(View()->Moving(), source->ID);
    Move(BPoint(124, 210));
    Up(BPoint(124, 210));
    EXPECT_EQ(source->position, BPoint(120, 200));
    // The master has no output: a press beside its strip starts nothing.
    Down(BPoint(305, 125));
    EXPECT_EQ(View()->DragFrom(), -1);
    EXPECT_EQ(View()->Moving(), -1);
    Up(BPoint(305, 125));
}

TEST_F(MachineMapTest, AConnectionDragConnectsBothEndsTogglesAndLeavesNoLineWhenCancelled) {
    Machine* source = Put("Gridloom", 20, 100);
    Machine* effect = Put("Plugbay", 200, 100);
    Drag(BPoint(60, 125), BPoint(240, 115));
    ASSERT_TRUE(Feeds(source, effect));
    EXPECT_EQ(effect->in_vol_left[0], 1.0f);
    Drag(BPoint(60, 125), BPoint(240, 115));
    EXPECT_FALSE(Feeds(source, effect));
    Drag(BPoint(60, 125), BPoint(400, 300));
    Drag(BPoint(60, 125), BPoint(60, 115));
    EXPECT_EQ(source->num_out_machines, 0);
    EXPECT_TRUE(ShownErrors().empty()) << "dropping on the source itself is refused quietly";

    Down(BPoint(60, 125));
    Move(BPoint(180, 250));
    EXPECT_EQ(Pixel(Shot(), 120, 182), QColor(200, 200, 200)) << "the dragged line";
    Move(BPoint(-5, 250));
    EXPECT_EQ(View()->DragFrom(), -1);
    EXPECT_EQ(Pixel(Shot(), 120, 182), kBackground);
    Up(BPoint(-5, 250));
    EXPECT_EQ(source->num_out_machines, 0);
}

TEST_F(MachineMapTest, LinesShowMutingAndAVolumeMarkOnlyOffUnity) {
    Machine* source = Put("Gridloom", 20, 100);
    Machine* master = song->machines[0];
    ASSERT_EQ(source->Connect(0), 1);
    View()->Invalidate();
    QImage image = Shot();
    EXPECT_EQ(Pixel(image, 150, 115), QColor(200, 200, 200));
    EXPECT_EQ(Pixel(image, 187, 115), QColor(200, 200, 200)) << "no mark at unity";
    EXPECT_EQ(Pixel(image, 205, 112), QColor(200, 200, 200)) << "the arrowhead";
    EXPECT_EQ(Pixel(image, 30, 120), QColor(255, 164, 164));
    EXPECT_EQ(Pixel(image, 310, 120), QColor(128, 192, 255));
    EXPECT_EQ(Pixel(image, 30, 105), QColor(235, 144, 144)) << "the name strip";

    master->in_vol_left[0] = 0.5f;
    master->in_vol_right[0] = 2.0f;
    source->mute = 1;
    machinemapwindow->Update();
    image = Shot();
    EXPECT_EQ(Pixel(image, 150, 115), QColor(100, 100, 100));
    EXPECT_EQ(Pixel(image, 187, 115), QColor(50, 50, 50));
    EXPECT_EQ(Pixel(image, 192, 115), QColor(200, 200, 200)) << "twice the line's grey";
    EXPECT_EQ(Pixel(image, 185, 112), QColor(100, 100, 100)) << "the mark's frame";
}

TEST_F(MachineMapTest, ControllersHaveNoBoxAndConnectAllSkipsThem) {
    Machine* lone = Put("Gridloom", 20, 20);
    Machine* controller = Put("Tempo", 20, 200);
    Machine* fed = Put("Gridloom", 20, 100);
    Machine* effect = Put("Plugbay", 150, 100);
    ASSERT_EQ(fed->Connect(effect->ID), 1);
    EXPECT_EQ(MachineMapView::FindMachine(BPoint(40, 215)), -1);
    EXPECT_EQ(Pixel(Shot(), 40, 215), kBackground);
    Send(machinemapwindow, BMessage(MachineMapWindow::kConnectAll));
    EXPECT_TRUE(Feeds(lone, song->machines[0]));
    EXPECT_TRUE(Feeds(effect, song->machines[0]));
    EXPECT_FALSE(Feeds(fed, song->machines[0]));
    EXPECT_EQ(controller->num_out_machines, 0);
    EXPECT_TRUE(ShownErrors().empty());
}

TEST_F(MachineMapTest, TheChangerSetsVolumesInANestedLoopAndTheMapDropsInputMeanwhile) {
    Machine* source = Put("Gridloom", 20, 100);
    Machine* master = song->machines[0];
    ASSERT_EQ(source->Connect(0), 1);
    master->in_vol_left[0] = 0.5f;
    master->in_vol_right[0] = 0.5f;
    QColor knob, rightKnob;
    WhenChangerOpen([&](QWidget* changer) {
        Mouse(changer, QEvent::MouseButtonPress, QPointF(15, 0), Qt::LeftButton, Qt::LeftButton);
        EXPECT_EQ(master->in_vol_left[0], 2.0f);
        const QImage image = changer->grab().toImage();
        knob = image.pixelColor(20, 5);
        rightKnob = image.pixelColor(35, 86);
        Mouse(changer, QEvent::MouseMove, QPointF(15, 127), Qt::NoButton, Qt::LeftButton);
        Mouse(changer, QEvent::MouseButtonRelease, QPointF(15, 127), Qt::LeftButton, {});
        Click(changer, QPointF(40, 60), Qt::RightButton);
        Down(BPoint(30, 105));
        Move(BPoint(30, 250));
        Up(BPoint(30, 250));
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(changer, &escape);
    });
    Down(BPoint(205, 112));
    EXPECT_FALSE(VolumeChangerOpen());
    EXPECT_EQ(knob, QColor(0, 0, 0));
    EXPECT_EQ(rightKnob, QColor(0, 0, 0));
    EXPECT_EQ(master->in_vol_left[0], 0.0f) << "held at the bottom";
    EXPECT_EQ(master->in_vol_right[0], 1.0f) << "a secondary click";
    EXPECT_EQ(source->position, BPoint(20, 100)) << "the press on the map was dropped";
    EXPECT_EQ(View()->Moving(), -1);
    Up(BPoint(205, 112));
    EXPECT_EQ(source->position, BPoint(20, 100)) << "and not replayed";
    EXPECT_EQ(Pixel(Shot(), 187, 115), QColor(0, 0, 0));
}

TEST_F(MachineMapTest, TheChangerClosesWhenThePointerLeavesOnAClickOutsideAndOnFocusLoss) {
    Put("Gridloom", 20, 100)->Connect(0);
    WhenChangerOpen([](QWidget* changer) {
        Mouse(changer, QEvent::MouseMove, QPointF(30, 60), Qt::NoButton, {});
        Mouse(changer, QEvent::MouseMove, QPointF(-5, 60), Qt::NoButton, {});
    });
    Down(BPoint(205, 112));
    EXPECT_FALSE(VolumeChangerOpen());
    WhenChangerOpen([](QWidget* changer) {
        Mouse(changer, QEvent::MouseButtonPress, QPointF(200, 60), Qt::LeftButton, Qt::LeftButton);
    });
    Down(BPoint(205, 112));
    EXPECT_FALSE(VolumeChangerOpen());
    EXPECT_EQ(song->machines[0]->in_vol_left[0], 1.0f) << "the click outside set nothing";
    WhenChangerOpen([](QWidget*) {
        BWindow* changer = ChangerWindow();
        ASSERT_NE(changer, nullptr);
        changer->Lock();
        changer->ActivationChanged(true);
        changer->ActivationChanged(false);
        changer->Unlock();
        gui_thread::ProcessEvents();
    });
    Down(BPoint(205, 112));
    EXPECT_FALSE(VolumeChangerOpen());
}

TEST_F(MachineMapTest, RemovingAMachineClosesTheChangerAndItsConnectionWritesNothing) {
    Machine* source = Put("Gridloom", 20, 100);
    Machine* effect = Put("Plugbay", 150, 200);
    Machine* other = Put("Gridloom", 20, 250);
    ASSERT_EQ(source->Connect(effect->ID), 1);
    ASSERT_EQ(other->Connect(effect->ID), 1);
    const ConnectionVolume held(effect->ID, 0);
    WhenChangerOpen([&](QWidget*) {
        song->solo_machine = source->ID;
        Send(playlistwindow, BMessage(79));
    });
    // The arrowhead of the line from (60,115) to (190,215).
    Down(BPoint(128, 163));
    EXPECT_FALSE(VolumeChangerOpen());
    ASSERT_EQ(song->num_machines, 3);
    EXPECT_EQ(effect->num_in_machines, 1);
    EXPECT_FALSE(held.Valid());
    effect->in_vol_left[0] = 0.25f;
    EXPECT_FALSE(held.Set(ConnectionVolume::kLeft, 2.0f));
    EXPECT_EQ(effect->in_vol_left[0], 0.25f) << "the other connection now at that index";
    EXPECT_TRUE(Feeds(other, effect));
}

TEST_F(MachineMapTest, ThePopUpMutesAndDeletesButNeverTheMasterNorAMachineGoneMeanwhile) {
    Machine* source = Put("Gridloom", 20, 100);
    Put("Gridloom", 20, 200);
    WhenMenuOpen([](QMenu* menu) { Trigger(menu, "Mute/Unmute"); });
    Down(BPoint(40, 120), B_SECONDARY_MOUSE_BUTTON);
    EXPECT_EQ(source->mute, 1);
    WhenMenuOpen([](QMenu* menu) { Trigger(menu, "Mute/Unmute"); });
    Down(BPoint(320, 120), B_SECONDARY_MOUSE_BUTTON);
    EXPECT_EQ(song->machines[0]->mute, 0);
    WhenMenuOpen([](QMenu* menu) { Trigger(menu, "Delete machine"); });
    Down(BPoint(320, 120), B_SECONDARY_MOUSE_BUTTON);
    EXPECT_EQ(song->num_machines, 3);

    WhenMenuOpen([](QMenu* menu) {
        song->RemoveMachine(1);
        Trigger(menu, "Delete machine");
    });
    Down(BPoint(40, 120), B_SECONDARY_MOUSE_BUTTON);
    ASSERT_EQ(song->num_machines, 2) << "the machine now at that index stays";
    WhenMenuOpen([](QMenu* menu) { Trigger(menu, "Delete machine"); });
    Down(BPoint(40, 220), B_SECONDARY_MOUSE_BUTTON);
    EXPECT_EQ(song->num_machines, 1);
    EXPECT_EQ(song->solo_machine, 1) << "the playlist was refreshed";
}

TEST_F(MachineMapTest, PositionsAndVolumesBeyondReasonDrawClampedAndStayStored) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Machine* lost = Put("Gridloom", nan, nan);
    Machine* far = Put("Plugbay", inf, -inf);
    Machine* huge = Put("Gridloom", 1e30f, 5);
    ASSERT_EQ(lost->Connect(far->ID), 1);
    ASSERT_EQ(huge->Connect(0), 1);
    far->in_vol_left[0] = nan;
    far->in_vol_right[0] = 1e30f;
    View()->Invalidate();
    const QImage image = Shot();
    EXPECT_EQ(Pixel(image, 10, 20), QColor(255, 164, 164)) << "drawn at the origin";
    EXPECT_EQ(MachineMapView::FindMachine(BPoint(40, 15)), lost->ID);
    EXPECT_EQ(MachineMapView::FindMachine(BPoint(100040, -99985)), far->ID);
    EXPECT_TRUE(std::isnan(lost->position.x));
    EXPECT_EQ(far->position.x, inf);
    EXPECT_EQ(huge->position.x, 1e30f);
    EXPECT_TRUE(std::isnan(far->in_vol_left[0].load()));
    Down(BPoint(450, 300));
    Up(BPoint(450, 300));
}

TEST_F(MachineMapTest, TheDemoSongDrawsEveryBoxInItsColour) {
    FreshSong();
    BMessage open('OPEN');
    entry_ref ref(DEMO_SONG);
    open.AddRef("refs", &ref);
    Send(playlistwindow, open);
    ASSERT_GT(song->num_machines, 2);
    const QImage image = Shot();
    image.save("/tmp/machine_map.png");
    int32 boxes = 0;
    const Machine* last = nullptr;
    for (int32 i = 0; i < song->num_machines; i++) {
        const Machine* machine = song->machines[i];
        if (!machine->has_input && !machine->has_output) continue;
        boxes++;
        last = machine;
        EXPECT_GE(MachineMapView::FindMachine(machine->position + BPoint(79, 29)), i);
    }
    // The last box is drawn over every other.
    const QColor body = Pixel(image, int(last->position.x) + 6, int(last->position.y) + 20);
    EXPECT_EQ(body, !last->has_input ? QColor(255, 164, 164) : QColor(255, 192, 128));
    EXPECT_GT(boxes, 2);
}

}  // namespace
