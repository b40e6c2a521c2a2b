// A plug-in's own editor on a private X server: opened from the parameter window in a window of
// its own, drawing there, given time to work, and closed once before the plug-in is switched
// off, whichever way it goes.
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "addons/Plugbay/effect_window.h"
#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/native_display.h"
#include "tests/addons/plugbay/editor_effect.h"
#include "tests/addons/plugbay/plugbay_fixture.h"
#include "tests/plugeditor/private_x_server.h"
// Last: Xlib's macros would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Qt on the private server when there is one; offscreen, with the tests skipped, when not.
class XEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        if (fServer.Start()) {
            setenv("DISPLAY", fServer.DisplayName().c_str(), 1);
            unsetenv("WAYLAND_DISPLAY");
            setenv("QT_QPA_PLATFORM", "xcb", 1);
        } else {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        }
        gui_thread::Start();
    }
    // Qt's connection is left idle from here on, so the server may go first.
    void TearDown() override { fServer.Stop(); }

  private:
    PrivateXServer fServer;
};

[[maybe_unused]] const auto* const kEnvironment =
    testing::AddGlobalTestEnvironment(new XEnvironment);

class PluginEditor : public PlugbayTest {
  protected:
    void SetUp() override {
        if (!native_display::Available()) GTEST_SKIP() << "no Xvfb to run X11 editors on";
        PlugbayTest::SetUp();
        machine = AddPlugbay();
        ListTestPlugin("EditorEffect", "plugbaytest/EditorEffect");
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        state() = EditorState{};
        ASSERT_TRUE(Pipe(machine).CreateEffect("EditorEffect"));
        effect = Pipe(machine).effects[0];
    }

    void TearDown() override {
        if (display != nullptr) XCloseDisplay(display);
    }

    // The plug-in's shared record, from its own image.
    static EditorState& state() {
        EffectRoster& roster = Effects();
        const int index = roster.Find("EditorEffect");
        roster.Load(index);
        void* found = nullptr;
        EXPECT_TRUE(roster.objects[index]->GetObject("EditorSession", &found));
        return *reinterpret_cast<EditorStateFunc>(found)();
    }

    // Runs the GUI thread's loop until done holds or the time is up.
    static bool Until(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            gui_thread::ProcessEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return done();
    }

    static QPushButton* EditorButton(Effect* shown) {
        shown->ShowWindow();
        Until([shown] { return shown->window->Canvas() != nullptr; });
        return shown->window->Canvas()->findChild<QPushButton*>();
    }

    // The window titled as the effect that is not its parameter window.
    BWindow* EditorWindow() const {
        BWindow* found = nullptr;
        looper_registry::ForEachGuiLooper([&](BLooper* looper) {
            auto* window = dynamic_cast<BWindow*>(looper);
            if (window != nullptr && window != effect->window &&
                std::string(window->Title()) == effect->name)
                found = window;
        });
        return found;
    }

    BWindow* OpenEditor() {
        QPushButton* button = EditorButton(effect);
        if (button == nullptr) return nullptr;
        button->click();
        Until([this] { return EditorWindow() != nullptr && state().idles > 2; });
        return EditorWindow();
    }

    bool Descends(Window child, Window ancestor) const {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        while (child != ancestor && XQueryTree(display, child, &root, &parent, &children, &count)) {
            XFree(children);
            if (parent == 0 || child == root) return false;
            child = parent;
        }
        return child == ancestor;
    }

    static long Count(const std::string& call) {
        return std::count(state().calls.begin(), state().calls.end(), call);
    }

    static std::vector<std::string> LastCalls(size_t n) {
        const std::vector<std::string>& calls = state().calls;
        return {calls.end() - long(std::min(n, calls.size())), calls.end()};
    }

    MachinePlugbay* machine = nullptr;
    Effect* effect = nullptr;
    Display* display = nullptr;
};

TEST_F(PluginEditor, OpensInItsOwnWindowWorksAndClosesBeforeThePluginGoes) {
    state().rect = {10, 20, 130, 320};
    BWindow* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Bounds(), BRect(0, 0, 299, 119));
    const Window host = editor->Canvas()->winId();
    EXPECT_EQ(state().parent, host);
    EXPECT_TRUE(Descends(state().child, host));
    XWindowAttributes attributes;
    ASSERT_TRUE(Until([&] {
        return XGetWindowAttributes(display, state().child, &attributes) &&
               attributes.map_state == IsViewable;
    }));
    EXPECT_EQ(attributes.width, 300);
    EXPECT_EQ(attributes.height, 120);
    XImage* image = XGetImage(display, state().child, 150, 60, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(XGetPixel(image, 0, 0), kEditorColour);
    XDestroyImage(image);

    const int idles = state().idles;
    EXPECT_TRUE(Until([&] { return state().idles > idles + 2; })) << "idle keeps coming";
    EditorButton(effect)->click();
    Until([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(EditorWindow(), editor) << "a second press raises the open editor";
    EXPECT_EQ(Count("EditOpen"), 1);

    Pipe(machine).RemoveEffect(0);
    EXPECT_EQ(LastCalls(3), (std::vector<std::string>{"EditClose", "MainsChanged 0", "Close"}));
    EXPECT_EQ(Count("EditClose"), 1);
    EXPECT_EQ(Count("Close"), 1);
    EXPECT_TRUE(Until([] { return WindowsTitled("EditorEffect") == 0; }));
}

TEST_F(PluginEditor, ClosingTheEditorWindowClosesTheEditorOnce) {
    BWindow* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    editor->Canvas()->close();
    ASSERT_TRUE(Until([this] { return EditorWindow() == nullptr; }));
    EXPECT_EQ(LastCalls(1), std::vector<std::string>{"EditClose"});
    const int idles = state().idles;
    Until([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(state().idles, idles) << "no idle once closed";

    Pipe(machine).RemoveEffect(0);
    EXPECT_EQ(LastCalls(2), (std::vector<std::string>{"MainsChanged 0", "Close"}));
    EXPECT_EQ(Count("EditClose"), 1);
}

TEST_F(PluginEditor, OddSizesAreKeptSaneAndTheEditorGoesWithItsParameterWindow) {
    state().answerRect = false;
    BWindow* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    const float side = Effect::kEditorDefault - 1;
    EXPECT_EQ(editor->Bounds(), BRect(0, 0, side, side));
    effect->window->PostMessage(B_QUIT_REQUESTED);
    ASSERT_TRUE(Until([] { return WindowsTitled("EditorEffect") == 0; }));
    EXPECT_EQ(Count("EditClose"), 1);

    state().answerRect = true;
    state().rect = {100, 0, -20, 30000};
    editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Bounds(), BRect(0, 0, Effect::kEditorMax - 1, Effect::kEditorMin - 1));

    // A plug-in without an editor gets no button, even where windows are native.
    ASSERT_TRUE(Pipe(machine).CreateEffect("GainPan"));
    EXPECT_EQ(EditorButton(Pipe(machine).effects[1]), nullptr);
}

}  // namespace
