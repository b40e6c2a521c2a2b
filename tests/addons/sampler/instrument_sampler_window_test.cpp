// The Sampler's window over the real add-on, on the offscreen display: it builds from its
// layout, loads a chosen file into the instrument and writes what is typed into it.
#include "addons/Sampler/instrument_sampler_window.h"

#include <gtest/gtest.h>

#include <string>

#include "addons/Sampler/instrument_sampler.h"
#include "engine/rosters.h"
#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/app/looper_registry.h"
#include "platform/interface/string_view.h"
#include "platform/interface/text_control.h"
#include "tests/addons/sampler/test_sample_file.h"
#include "tests/engine/engine_environment.h"

namespace {

void Settle() {
    for (int i = 0; i < 3; i++) gui_thread::ProcessEvents();
}

class SamplerWindow : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        sampler = dynamic_cast<InstrumentSampler*>(instrument_roster.Create("Sampler"));
        ASSERT_NE(sampler, nullptr);
        delete song->instruments[0].exchange(sampler);
        sampler->ShowWindow();
        Settle();
        looper_registry::ForEachGuiLooper([&](BLooper* looper) {
            if (auto* found = dynamic_cast<InstrumentSamplerWindow*>(looper)) window = found;
        });
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override {
        if (window != nullptr) window->PostMessage(B_QUIT_REQUESTED);
        Settle();
        song->New();
    }

    template <class View>
    View* Find(const char* name) {
        return dynamic_cast<View*>(window->FindView(name));
    }

    // Types text into the named field and commits it.
    void Type(const char* field, const char* text) {
        window->Lock();
        auto* control = Find<BTextControl>(field);
        control->SetText(text);
        control->Invoke();
        window->Unlock();
        Settle();
    }

    InstrumentSampler* sampler = nullptr;
    InstrumentSamplerWindow* window = nullptr;
};

}  // namespace

TEST_F(SamplerWindow, BuildsFromItsLayoutAndLoadsTheChosenFile) {
    for (const char* name : {"btnLoad", "lblSample", "txtRoot", "txtLoopStart", "txtLoopEnd",
                             "txtAttack", "txtHold", "txtRelease"}) {
        EXPECT_NE(window->FindView(name), nullptr) << name;
    }
    EXPECT_FALSE(window->IsHidden());
    EXPECT_STREQ(Find<BStringView>("lblSample")->Text(), "No sample");

    ToneFile tone;
    tone.frames = 2205;
    tone.root = 67;
    const std::string path = TestPath("window.wav");
    ASSERT_TRUE(WriteTone(path, tone));
    BMessage chosen(InstrumentSamplerWindow::kFileChosen);
    entry_ref ref(path);
    chosen.AddRef("refs", &ref);
    window->PostMessage(&chosen);
    Settle();
    ASSERT_NE(sampler->Sample(), nullptr);
    EXPECT_EQ(sampler->Sample()->Frames(), 2205);
    EXPECT_STREQ(Find<BStringView>("lblSample")->Text(), "0.05 s, 44100 Hz, mono");
    EXPECT_STREQ(Find<BTextControl>("txtRoot")->Text(), "67");
}

TEST_F(SamplerWindow, TypedValuesReachTheInstrumentHeldToTheSample) {
    ToneFile tone;
    tone.frames = 1000;
    const std::string path = TestPath("typed.wav");
    ASSERT_TRUE(WriteTone(path, tone));
    ASSERT_TRUE(sampler->LoadFile(path.c_str()));

    Type("txtRoot", "72");
    Type("txtLoopStart", "100");
    EXPECT_EQ(sampler->Current().loop_end, 1000) << "typed start first, the loop ends the sample";
    Type("txtLoopEnd", "500");
    EXPECT_EQ(sampler->Current().loop_end, 500);
    Type("txtLoopEnd", "5000");
    Type("txtAttack", "10");
    Type("txtHold", "1000");
    Type("txtRelease", "250");
    const InstrumentSampler::Settings now = sampler->Current();
    EXPECT_EQ(now.root, 72);
    EXPECT_EQ(now.loop_start, 100);
    EXPECT_EQ(now.loop_end, 1000);
    EXPECT_STREQ(Find<BTextControl>("txtLoopEnd")->Text(), "1000");
    EXPECT_FLOAT_EQ(now.attack, 441.0f);
    EXPECT_FLOAT_EQ(now.hold, 44100.0f);
    EXPECT_FLOAT_EQ(now.release, 11025.0f);

    Type("txtRoot", "300");
    EXPECT_EQ(sampler->Current().root, 127);
}
