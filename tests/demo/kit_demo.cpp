// A window built from a stored layout with every control of the kit and the widget kit, for
// looking at and trying by hand: build/tests/kit_demo [--quit-after MILLISECONDS].
#include <cstdlib>
#include <cstring>
#include <string>

#include <QTimer>

#include "platform/app/app_defs.h"
#include "platform/app/application.h"
#include "platform/interface/alert.h"
#include "platform/interface/bitmap.h"
#include "platform/interface/file_panel.h"
#include "platform/interface/list_view.h"
#include "platform/interface/picture.h"
#include "platform/interface/picture_button.h"
#include "platform/interface/scroll_view.h"
#include "platform/interface/string_item.h"
#include "platform/interface/string_view.h"
#include "platform/interface/text_view.h"
#include "platform/storage/resources.h"
#include "ui/bitmap_string_button.h"
#include "ui/error_alert.h"
#include "ui/ie_window.h"
#include "ui/radio_list.h"
#include "ui/round_slider.h"
#include "ui/split_pane.h"

namespace {

constexpr const char* kPrograms[] = {"Acoustic Grand Piano", "Electric Bass (finger)",
                                     "String Ensemble 1",    "Synth Lead (square)",
                                     "Pad (warm)",           "Standard drum kit"};

// A play triangle on the button's face, lit when on.
BPicture PlayPicture(rgb_color face, rgb_color mark) {
    BBitmap bitmap(BRect(0, 0, 37, 22), B_RGBA32, true);
    auto* view = new BView(bitmap.Bounds(), "face", B_FOLLOW_NONE, B_WILL_DRAW);
    bitmap.AddChild(view);
    bitmap.Lock();
    view->SetHighColor(face);
    view->FillRect(view->Bounds());
    view->SetHighColor(120, 120, 120);
    view->StrokeRect(view->Bounds());
    view->SetHighColor(mark);
    view->FillTriangle(BPoint(14, 5), BPoint(14, 17), BPoint(25, 11));
    bitmap.Unlock();
    return BPicture(bitmap);
}

class DemoWindow : public IEWindow {
  public:
    explicit DemoWindow(BResources* resources) : IEWindow("KitDemo", resources) {
        // The error window of a missing layout has none of these views.
        if (BView* kit = FindView("kit")) AddWidgetKit(kit);
        if (BView* panel = FindView("panel")) AddLists(panel);
        fStatus = dynamic_cast<BStringView*>(FindView("status"));
    }

    void MessageReceived(BMessage* message) override {
        switch (message->what) {
            case 'OPEN':
                return ShowPanel(B_OPEN_PANEL);
            case 'SAVE':
                return ShowPanel(B_SAVE_PANEL);
            case 'ALRT': {
                const int32 answer = (new BAlert("Kit", "A modal alert. Pick one.", "Cancel",
                                                 "Maybe", "OK", B_WIDTH_FROM_WIDEST, B_IDEA_ALERT))
                                         ->Go();
                return Say("The alert answered " + std::to_string(answer) + ".");
            }
            case B_REFS_RECEIVED:
                return SayRef("Open", message, "refs");
            case B_SAVE_REQUESTED:
                return SayRef("Save into", message, "directory");
            case B_CANCEL:
                return Say("The file panel was cancelled.");
            default:
                break;
        }
        if (message->what >= 0x10000000) return SayCommand(message);
        IEWindow::MessageReceived(message);
    }

    bool QuitRequested() override {
        be_app->PostMessage(B_QUIT_REQUESTED);
        return true;
    }

  private:
    void AddWidgetKit(BView* box) {
        BPoint where(14, 24);
        for (const char* name : {"Drums", "Bass", "Lead"}) {
            auto* button = new BitmapStringButton(where, BitmapStringButton::kPattern,
                                                  new BMessage('PATN'), &fPatterns);
            button->SetText(name);
            box->AddChild(button);
            box->AddChild(new BitmapStringButton(where + BPoint(74, 0), BitmapStringButton::kMute,
                                                 new BMessage('MUTE')));
            where.y += 22;
        }
        for (int i = 0; i < 3; ++i) {
            auto* knob =
                new RoundSlider(BRect(120 + i * 40, 24, 151 + i * 40, 55), new BMessage('KNOB'));
            knob->SetValue(0.2f + 0.3f * float(i));
            box->AddChild(knob);
        }
        const BPicture off = PlayPicture({232, 232, 232, 255}, {70, 70, 70, 255});
        const BPicture on = PlayPicture({255, 214, 120, 255}, {30, 120, 40, 255});
        box->AddChild(new BPictureButton(BRect(14, 96, 51, 118), "btnPlay", &off, &on,
                                         new BMessage('PLAY'), B_TWO_STATE_BUTTON));
    }

    void AddLists(BView* panel) {
        auto* list = new BListView(BRect(0, 0, 200, 200), "programs");
        for (const char* name : kPrograms) list->AddItem(new BStringItem(name));
        list->SetSelectionMessage(new BMessage('PICK'));
        list->Select(0);
        auto* text = new BTextView(BRect(0, 0, 300, 200), "details", BRect(4, 4, 296, 196),
                                   B_FOLLOW_ALL, B_WILL_DRAW);
        text->SetText("Song details go here.\nType, select, copy and paste as anywhere else.");
        auto* pane = new SplitPane(
            BRect(8, 158, 571, 370),
            new BScrollView("listscroll", list, B_FOLLOW_ALL, 0, false, true),
            new BScrollView("textscroll", text, B_FOLLOW_ALL, 0, false, true), B_FOLLOW_ALL);
        panel->AddChild(pane);
    }

    void ShowPanel(file_panel_mode mode) {
        BMessenger self(this);
        BFilePanel*& panel = mode == B_OPEN_PANEL ? fOpenPanel : fSavePanel;
        if (!panel) panel = new BFilePanel(mode, &self);
        if (mode == B_SAVE_PANEL) panel->SetSaveText("untitled.vel");
        panel->Show();
    }

    void SayRef(const char* verb, BMessage* message, const char* field) {
        entry_ref ref;
        std::string name;
        message->FindRef(field, &ref);
        message->FindString("name", &name);
        Say(std::string(verb) + " " + ref.path + (name.empty() ? "" : "/" + name));
    }

    void SayCommand(BMessage* message) {
        const uint32 w = message->what;
        const char code[5] = {char(w >> 24), char(w >> 16), char(w >> 8), char(w), 0};
        int32 value = 0;
        message->FindInt32("be:value", &value);
        int32 index = -1;
        message->FindInt32("index", &index);
        Say(std::string("'") + code + "' value " + std::to_string(value) + " index " +
            std::to_string(index));
    }

    void Say(const std::string& text) {
        if (fStatus) fStatus->SetText(text.c_str());
    }

    RadioList fPatterns;
    BStringView* fStatus = nullptr;
    BFilePanel* fOpenPanel = nullptr;
    BFilePanel* fSavePanel = nullptr;
};

class DemoApp : public BApplication {
  public:
    explicit DemoApp(int quitAfter)
        : BApplication("application/x-vnd.Velloran-kit-demo"), fQuitAfter(quitAfter) {}

    void ReadyToRun() override {
        InstallErrorAlert();
        // The layout is stored in this program, not in the library.
        fResources.SetTo("/proc/self/exe");
        (new DemoWindow(&fResources))->Show();
        if (fQuitAfter > 0)
            QTimer::singleShot(fQuitAfter, [] { be_app->PostMessage(B_QUIT_REQUESTED); });
    }

  private:
    int fQuitAfter;
    BResources fResources;
};

}  // namespace

int main(int argc, char** argv) {
    int quitAfter = 0;
    if (argc == 3 && std::strcmp(argv[1], "--quit-after") == 0) quitAfter = std::atoi(argv[2]);
    DemoApp app(quitAfter);
    app.Run();
    return 0;
}
