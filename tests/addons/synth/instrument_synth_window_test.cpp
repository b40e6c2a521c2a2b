// The Synth instrument's window over the real add-on, on the offscreen display: it is built
// from its stored layout, shows the instrument's patch, and choosing a patch changes it.
#include "addons/Synth/instrument_synth_window.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QString>

#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/menu.h"
#include "platform/interface/menu_field.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/slider.h"
#include "tests/addons/synth/synth_fixture.h"
#include "tests/interface/menu_pick.h"

namespace {

void Settle() {
    for (int i = 0; i < 3; i++) gui_thread::ProcessEvents();
}

class SynthWindow : public SynthTest {
  protected:
    void TearDown() override {
        if (BWindow* shown = Window()) {
            shown->PostMessage(B_QUIT_REQUESTED);
            Settle();
        }
        song->New();
    }

    static InstrumentSynthWindow* Window() {
        InstrumentSynthWindow* found = nullptr;
        looper_registry::ForEachGuiLooper([&](BLooper* looper) {
            if (auto* window = dynamic_cast<InstrumentSynthWindow*>(looper)) found = window;
        });
        return found;
    }

    template <class View>
    static View* Find(const char* name) {
        InstrumentSynthWindow* window = Window();
        window->Lock();
        auto* view = dynamic_cast<View*>(window->FindView(name));
        window->Unlock();
        EXPECT_NE(view, nullptr) << name;
        return view;
    }

    // As the user does: opens the field's menu with its button and picks the label.
    static void Choose(BMenuField* field, const char* label) {
        PickWhenOpen(QString(label));
        field->Widget()->findChild<QPushButton*>()->click();
        Settle();
    }
};

}  // namespace

TEST_F(SynthWindow, ItIsBuiltFromItsLayoutAndShowsTheInstrumentsPatch) {
    synth->ShowWindow();
    Settle();
    ASSERT_NE(Window(), nullptr);
    EXPECT_FALSE(Window()->IsHidden());
    auto* patches = Find<BMenuField>("mnuPatch");
    auto* wave1 = Find<BMenuField>("mnuWave1");
    ASSERT_TRUE(patches != nullptr && wave1 != nullptr);
    EXPECT_EQ(patches->Menu()->CountItems(), SynthPatch::kNamedPatches);
    EXPECT_EQ(wave1->Menu()->CountItems(), SynthWaveBank::kWaves);
    const BMenuItem* marked = wave1->Menu()->FindMarked();
    ASSERT_NE(marked, nullptr);
    EXPECT_STREQ(marked->Label(), "Triangle");
    EXPECT_EQ(Find<BSlider>("sldResonance")->Value(), 10);
    EXPECT_EQ(Find<BSlider>("sldDetune")->Value(), 1200);
}

TEST_F(SynthWindow, ChoosingAPatchChangesTheSettingsAndWhatIsSaved) {
    synth->ShowWindow();
    Settle();
    ASSERT_NE(Window(), nullptr);
    Choose(Find<BMenuField>("mnuPatch"), "Bass");
    SynthPatch bass;
    bass.SetNamed(0);
    EXPECT_EQ(synth->Patch().cutoff, bass.cutoff);
    EXPECT_EQ(synth->Patch().osc[1].wave, SynthWaveBank::kSquare);
    EXPECT_EQ(synth->Patch().amp.num_points, bass.amp.num_points);
    EXPECT_EQ(Find<BSlider>("sldDetune")->Value(), -1200);

    Choose(Find<BMenuField>("mnuWave1"), "Sine");
    EXPECT_EQ(synth->Patch().osc[0].wave, SynthWaveBank::kSine);
    BMessage saved;
    synth->Save(&saved);
    int32 wave = -1;
    EXPECT_EQ(saved.FindInt32("synth:osc1_wave", &wave), B_OK);
    EXPECT_EQ(wave, SynthWaveBank::kSine);
}
