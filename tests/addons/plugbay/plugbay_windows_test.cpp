// The pipe window and the parameter windows on the offscreen display: editing the pipe by
// drops and clicks, sliders reaching the plug-in, hostile plug-ins, and windows that close
// with what they show.
#include <QDrag>
#include <QImage>
#include <QMimeData>
#include <QSlider>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "addons/Plugbay/effect_drag_list_view.h"
#include "addons/Plugbay/effect_pipe_window.h"
#include "addons/Plugbay/effect_window.h"
#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/check_box.h"
#include "platform/interface/screen.h"
#include "platform/interface/scroll_view.h"
#include "platform/interface/string_item.h"
#include "platform/interface/window_canvas.h"
#include "tests/addons/plugbay/hostile_effect.h"
#include "tests/addons/plugbay/plugbay_fixture.h"
#include "tests/engine/addons/test_signal.h"

namespace {

class PlugbayWindows : public PlugbayTest {
  protected:
    void SetUp() override {
        PlugbayTest::SetUp();
        machine = AddPlugbay();
        ListTestPlugins();
    }

    // The hostile plug-in's shared state, from its own image.
    HostileState& Hostile() {
        EffectRoster& roster = Effects();
        int index = roster.Find("HostileEffect");
        roster.Load(index);
        void* found = nullptr;
        EXPECT_TRUE(roster.objects[index]->GetObject("HostileSession", &found));
        return *reinterpret_cast<HostileStateFunc>(found)();
    }

    EffectPipeWindow* OpenPipe() {
        Pipe(machine).ShowWindow();
        gui_thread::ProcessEvents();
        return Pipe(machine).window;
    }

    static BListView* List(BWindow* window, const char* host) {
        return static_cast<BListView*>(
            static_cast<BScrollView*>(window->FindView(host)->ChildAt(0))->Target());
    }

    // A point of a row of the pipe list, in window coordinates.
    static BPoint Row(BWindow* window, int32 index, float x) {
        BListView* list = List(window, "View1");
        const BRect frame = list->ItemFrame(index);
        return list->ConvertToWindow(BPoint(x, (frame.top + frame.bottom) / 2));
    }

    static void Click(BWindow* window, BPoint where, uint32 buttons) {
        window->Lock();
        window->DeliverMouseDown(where, buttons);
        window->DeliverMouseUp(where);
        window->Unlock();
        gui_thread::ProcessEvents();
    }

    static void Drop(BWindow* window, const BMessage& message) {
        window->Lock();
        window->DeliverDrop(&message, List(window, "View1")->ConvertToWindow(BPoint(20, 60)));
        window->Unlock();
        gui_thread::ProcessEvents();
    }

    // The window's sliders, top to bottom.
    static std::vector<QSlider*> Sliders(BWindow* window) {
        auto sliders = window->Canvas()->findChildren<QSlider*>();
        std::vector<QSlider*> sorted(sliders.begin(), sliders.end());
        std::sort(sorted.begin(), sorted.end(), [](QSlider* a, QSlider* b) {
            return a->mapTo(a->window(), QPoint()).y() < b->mapTo(b->window(), QPoint()).y();
        });
        return sorted;
    }

    // The message a drag of the name out of the available list carries.
    static BMessage DraggedOut(BWindow* window, const char* name) {
        BListView* available = List(window, "View2");
        int32 row = 0;
        while (row < available->CountItems() &&
               std::string(static_cast<BStringItem*>(available->ItemAt(row))->Text()) != name)
            row++;
        const BRect frame = available->ItemFrame(row);
        const BPoint from = available->ConvertToWindow(BPoint(20, (frame.top + frame.bottom) / 2));
        QByteArray dragged;
        BView::SetDragRunner(
            [&](QDrag* drag) { dragged = drag->mimeData()->data(kMessageMimeType); });
        window->Lock();
        window->DeliverMouseDown(from, B_PRIMARY_MOUSE_BUTTON);
        window->DeliverMouseMoved(from + BPoint(0, 8), B_PRIMARY_MOUSE_BUTTON);
        window->DeliverMouseUp(from + BPoint(0, 8));
        window->Unlock();
        gui_thread::ProcessEvents();
        BView::SetDragRunner(nullptr);
        BMessage message;
        EXPECT_EQ(message.Unflatten(dragged.constData(), dragged.size()), B_OK) << name;
        return message;
    }

    static BMessage Dragged(const char* name) {
        BMessage message(EffectDragListView::kDragged);
        message.AddString("EffectTypeName", name);
        return message;
    }

    MachinePlugbay* machine = nullptr;
};

TEST_F(PlugbayWindows, DropsAppendButtonsEditAndHostileDropsChangeNothing) {
    EffectPipeWindow* window = OpenPipe();
    ASSERT_NE(window, nullptr);
    Pipe(machine).ShowWindow();
    EXPECT_EQ(Pipe(machine).window, window);
    EXPECT_EQ(WindowsTitled("Effectpipe"), 1);
    const QImage image = window->Snapshot();
    int ink = 0;
    for (int y = 2; y < 14; y++)
        for (int x = 10; x < 80; x++) ink += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(ink, 20) << "the box over the pipe list is labelled";
    BListView* available = List(window, "View2");
    ASSERT_EQ(available->CountItems(), Effects().count);
    for (const char* name : {"GainPan", "StereoEcho", "LowPass"})
        Drop(window, DraggedOut(window, name));
    EXPECT_EQ(Names(Pipe(machine)), (std::vector<std::string>{"GainPan", "StereoEcho", "LowPass"}));
    EXPECT_EQ(List(window, "View1")->CountItems(), 3);

    BMessage nameless(EffectDragListView::kDragged);
    BMessage notText = nameless;
    notText.AddInt32("EffectTypeName", 1);
    for (const BMessage& drop : {nameless, notText, Dragged(""), Dragged("NoSuchEffect")})
        Drop(window, drop);
    for (uint32 command : {EffectPipeWindow::kUp, EffectPipeWindow::kDown}) {
        List(window, "View1")->Select(0);
        window->PostMessage(command);
        gui_thread::ProcessEvents();
    }
    EXPECT_EQ(Names(Pipe(machine)), (std::vector<std::string>{"GainPan", "StereoEcho", "LowPass"}));

    window->Lock();
    static_cast<BCheckBox*>(window->FindView("chkBypassAll"))->SetValue(B_CONTROL_ON);
    window->Unlock();
    window->PostMessage(EffectPipeWindow::kBypassAll);
    List(window, "View1")->DeselectAll();
    window->PostMessage(EffectPipeWindow::kDelete);  // no selection: nothing
    gui_thread::ProcessEvents();
    EXPECT_EQ(Pipe(machine).bypassall, 1);
    EXPECT_EQ(Pipe(machine).num_effects, 3);
    List(window, "View1")->Select(1);
    window->PostMessage(EffectPipeWindow::kDelete);
    gui_thread::ProcessEvents();
    EXPECT_EQ(Names(Pipe(machine)), (std::vector<std::string>{"GainPan", "LowPass"}));

    for (int i = 2; i < EffectPipe::kMaxEffects; i++) Drop(window, Dragged("GainPan"));
    Drop(window, Dragged("LowPass"));
    EXPECT_EQ(Pipe(machine).num_effects, EffectPipe::kMaxEffects);
    EXPECT_EQ(Names(Pipe(machine)).back(), "GainPan");
    EXPECT_EQ(List(window, "View1")->CountItems(), EffectPipe::kMaxEffects);
}

TEST_F(PlugbayWindows, ClicksMuteOpenParametersAndRemove) {
    ASSERT_TRUE(Pipe(machine).CreateEffect("GainPan"));
    ASSERT_TRUE(Pipe(machine).CreateEffect("StereoEcho"));
    EffectPipeWindow* window = OpenPipe();
    auto redInMuteColumn = [&] {
        const QImage image = window->Snapshot();
        const BPoint row = Row(window, 0, 0);
        int red = 0;
        for (int y = int(row.y) - 6; y <= int(row.y) + 6; y++)
            for (int x = int(row.x); x < int(row.x) + 16; x++)
                red += qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 80;
        return red;
    };
    EXPECT_EQ(redInMuteColumn(), 0);
    Click(window, Row(window, 0, 5), B_PRIMARY_MOUSE_BUTTON);
    EXPECT_EQ(Pipe(machine).effects[0]->mute, 1);
    EXPECT_GT(redInMuteColumn(), 5);
    EXPECT_EQ(Pipe(machine).effects[0]->window, nullptr);
    Click(window, Row(window, 0, 5), B_PRIMARY_MOUSE_BUTTON);
    EXPECT_EQ(Pipe(machine).effects[0]->mute, 0);

    Click(window, Row(window, 1, 40), B_PRIMARY_MOUSE_BUTTON);
    EffectWindow* parameters = Pipe(machine).effects[1]->window;
    ASSERT_NE(parameters, nullptr);
    Click(window, Row(window, 1, 40), B_PRIMARY_MOUSE_BUTTON);
    EXPECT_EQ(Pipe(machine).effects[1]->window, parameters);
    EXPECT_EQ(WindowsTitled("StereoEcho"), 1);

    Click(window, Row(window, 1, 40), B_SECONDARY_MOUSE_BUTTON);
    EXPECT_EQ(Names(Pipe(machine)), (std::vector<std::string>{"GainPan"}));
    EXPECT_EQ(WindowsTitled("StereoEcho"), 0);
    EXPECT_EQ(List(window, "View1")->CountItems(), 1);
    Click(window, Row(window, 0, 40) + BPoint(0, 60), B_SECONDARY_MOUSE_BUTTON);  // empty space
    EXPECT_EQ(Pipe(machine).num_effects, 1);
}

TEST_F(PlugbayWindows, SlidersLieAtTheirRowsAndMoveTheParameterThatIsSaved) {
    ASSERT_TRUE(Pipe(machine).CreateEffect("StereoEcho"));
    ASSERT_TRUE(Pipe(machine).CreateEffect("MonoEffect"));
    Effect* echo = Pipe(machine).effects[0];
    echo->ShowWindow();
    Pipe(machine).effects[1]->ShowWindow();
    gui_thread::ProcessEvents();
    EffectWindow* window = echo->window;
    EXPECT_EQ(window->Bounds(), BRect(0, 0, 100, 120));
    EXPECT_EQ(Pipe(machine).effects[1]->window->Bounds(), BRect(0, 0, 100, 0));
    std::vector<QSlider*> sliders = Sliders(window);
    ASSERT_EQ(sliders.size(), 3u);
    BView* view = window->FindView("View");
    for (int32 i = 0; i < 3; i++) {
        EXPECT_EQ(view->ChildAt(i)->Frame(), BRect(0, 40.0f * float(i), 100, 40.0f * float(i + 1)));
    }
    EXPECT_EQ(sliders[1]->value(), 400);  // the echo's own feedback

    sliders[1]->setValue(500);
    gui_thread::ProcessEvents();
    EXPECT_EQ(echo->GetParamValue(1), 0.5f);
    BMessage saved;
    machine->Save(&saved);
    std::vector<char> bytes(size_t(saved.FlattenedSize()));
    ASSERT_EQ(saved.Flatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    BMessage read;
    ASSERT_EQ(read.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    BMessage record;
    ASSERT_EQ(read.FindMessage("effect", 0, &record), B_OK);
    float value = 0;
    ASSERT_EQ(record.FindFloat("parameter", 1, &value), B_OK);
    EXPECT_EQ(value, 0.5f);
}

TEST_F(PlugbayWindows, HostileNamesValuesAndCountsStayInsideTheWindow) {
    ASSERT_TRUE(Pipe(machine).CreateEffect("HostileEffect"));
    HostileState& state = Hostile();
    Effect* effect = Pipe(machine).effects[0];
    std::fill(std::begin(state.values), std::end(state.values), 0.25f);
    state.values[3] = std::nanf("");
    state.values[4] = 5.0f;
    state.values[5] = -1.0f;
    state.outOfRange = state.sets = 0;
    EXPECT_EQ(effect->GetParamName(0), std::string(Effect::kParamNameSize, 'A'));
    EXPECT_EQ(effect->GetParamName(1), "Gr\u00fc\u00dfe");
    EXPECT_EQ(effect->GetParamName(2), "Gr\u00f6\u00dfe");
    EXPECT_EQ(effect->GetParamName(HostileState::kMostParams), "");

    effect->ShowWindow();
    gui_thread::ProcessEvents();
    EffectWindow* window = effect->window;
    std::vector<QSlider*> sliders = Sliders(window);
    ASSERT_EQ(sliders.size(), size_t(HostileState::kMostParams));
    EXPECT_EQ(sliders[3]->value(), 0);
    EXPECT_EQ(sliders[4]->value(), 1000);
    EXPECT_EQ(sliders[5]->value(), 0);
    EXPECT_EQ(sliders[6]->value(), 250);
    EXPECT_EQ(state.sets, 0) << "showing a value does not set it";
    EXPECT_TRUE(std::isnan(effect->GetParamValue(3)));
    EXPECT_LE(window->Frame().bottom, BScreen().Frame().bottom);
    EXPECT_NE(window->FindView("scrollview"), nullptr);

    effect->effect->numParams = 2;
    sliders[5]->setValue(700);
    sliders[1]->setValue(600);
    gui_thread::ProcessEvents();
    EXPECT_EQ(state.sets, 1);
    EXPECT_EQ(state.lastIndex, 1);
    EXPECT_EQ(state.lastValue, 0.6f);
    BMessage saved;
    Pipe(machine).Save(&saved);
    EXPECT_EQ(state.outOfRange, 0);
    effect->effect->numParams = HostileState::kMostParams;
}

TEST_F(PlugbayWindows, WindowsCloseWithTheirMachineOrEffectAndPluginsCloseOnce) {
    ASSERT_TRUE(Pipe(machine).CreateEffect("HostileEffect"));
    ASSERT_TRUE(Pipe(machine).CreateEffect("HostileEffect"));
    ASSERT_TRUE(Pipe(machine).CreateEffect("GainPan"));
    HostileState& state = Hostile();
    state.closed = state.switchedOff = 0;
    EffectPipeWindow* window = OpenPipe();
    for (int32 i = 0; i < 3; i++) Pipe(machine).effects[i]->ShowWindow();
    gui_thread::ProcessEvents();

    // Closed by the user: the pipe and the effect let go of their windows, which go.
    Pipe(machine).effects[2]->window->PostMessage(B_QUIT_REQUESTED);
    window->PostMessage(B_QUIT_REQUESTED);
    gui_thread::ProcessEvents();
    EXPECT_EQ(Pipe(machine).effects[2]->window, nullptr);
    EXPECT_EQ(Pipe(machine).window, nullptr);
    EXPECT_EQ(WindowsTitled("Effectpipe"), 0);
    window = OpenPipe();
    ASSERT_NE(window, nullptr);

    // Removed outside the window: the list lets go of it at once.
    Pipe(machine).RemoveEffect(1);
    EXPECT_EQ(List(window, "View1")->CountItems(), 2);
    EXPECT_EQ(WindowsTitled("HostileEffect"), 1);
    EXPECT_EQ(state.closed, 1);

    song->RemoveMachine(machine->ID);
    gui_thread::ProcessEvents();
    EXPECT_EQ(WindowsTitled("Effectpipe"), 0);
    EXPECT_EQ(WindowsTitled("HostileEffect"), 0);
    EXPECT_EQ(state.closed, 2);
    EXPECT_EQ(state.switchedOff, 2);
}

// Offscreen no window is the display's own, so a plug-in's editor has nowhere to draw.
TEST_F(PlugbayWindows, NoEditorButtonWithoutNativeWindows) {
    ListTestPlugin("EditorEffect", "plugbaytest/EditorEffect");
    ASSERT_TRUE(Pipe(machine).CreateEffect("EditorEffect"));
    Effect* effect = Pipe(machine).effects[0];
    ASSERT_TRUE(effect->HasEditor());
    effect->ShowWindow();
    gui_thread::ProcessEvents();
    EXPECT_EQ(effect->window->FindView("editor"), nullptr);
    EXPECT_EQ(effect->window->Bounds(), BRect(0, 0, 100, 0));
}

TEST_F(PlugbayWindows, AMachineDeletedOnAnotherThreadClosesItsWindowsFirst) {
    ASSERT_TRUE(Pipe(machine).CreateEffect("StereoEcho"));
    OpenPipe();
    Pipe(machine).effects[0]->ShowWindow();
    gui_thread::ProcessEvents();
    std::atomic<bool> done{false};
    std::thread remover([&] {
        song->RemoveMachine(machine->ID);
        done = true;
    });
    while (!done) gui_thread::ProcessEvents();
    remover.join();
    gui_thread::ProcessEvents();
    EXPECT_EQ(WindowsTitled("Effectpipe"), 0);
    EXPECT_EQ(WindowsTitled("StereoEcho"), 0);
}

TEST_F(PlugbayWindows, SlidersMoveWhileThePipePlays) {
    Machine* source = Add("TestSource");
    source->Connect(machine->ID);
    machine->Connect(0);
    ASSERT_TRUE(Pipe(machine).CreateEffect("GainPan"));
    Effect* gain = Pipe(machine).effects[0];
    gain->ShowWindow();
    gui_thread::ProcessEvents();
    QSlider* slider = Sliders(gain->window)[0];
    song->Play();
    for (int value : {100, 900, 250}) {
        slider->setValue(value);
        gui_thread::ProcessEvents();
        Steps(1);
    }
    song->Stop();
    const SourceStep& last = SourceSteps().back();
    EXPECT_FLOAT_EQ(machine->buffer_left[10], 0.5f * TestSignal(last.position, last.step, 10));
}

}  // namespace
