// The Synth instrument's editor: the oscillators' waveforms, the second one's detune, the
// filter, and a menu of starting patches. The add-on has one such window, pointed at the
// instrument that last asked to be shown.
#pragma once

#include "addons/Synth/synth_patch.h"
#include "ui/ie_window.h"

class BMenuField;
class BResources;
class BSlider;
class InstrumentSynth;

class InstrumentSynthWindow : public IEWindow {
  public:
    // Menu items carry int32 "nr"; sliders send "be:value".
    static constexpr uint32 kPatch = four_cc("ptch");
    static constexpr uint32 kWave1 = four_cc("wav1");
    static constexpr uint32 kWave2 = four_cc("wav2");
    static constexpr uint32 kDetune = four_cc("detn");     // cents
    static constexpr uint32 kCutoff = four_cc("cuto");     // 0 .. 1000, 20 Hz to 20 kHz
    static constexpr uint32 kResonance = four_cc("reso");  // percent
    static constexpr uint32 kEnvAmount = four_cc("enva");  // hundredths of an octave
    static constexpr const char* kLayout = "InstrumentSynthWindow";

    // The GUI thread. Builds the window from the layout in resources, fills its menus and
    // shows it editing instrument.
    InstrumentSynthWindow(InstrumentSynth* instrument, BResources* resources);

    // Any thread. Edits instrument from now on and shows the window with its values.
    void Edit(InstrumentSynth* instrument);
    // Any thread, before the instrument is freed: the window hides and edits nothing until
    // the next Edit.
    void Forget(InstrumentSynth* instrument);
    // Any thread. A shown window that edits instrument shows its values again.
    void Refresh(InstrumentSynth* instrument);
    void Show() override;
    void MessageReceived(BMessage* message) override;
    // Closing only hides: the window lives as long as the add-on image.
    bool QuitRequested() override;

  private:
    void ShowValues();
    // Applies the message to a copy of the instrument's patch and hands the copy over.
    void Change(BMessage* message);

    InstrumentSynth* fInstrument = nullptr;
    // The window's copy, edited and handed over, so the GUI thread never allocates a patch.
    SynthPatch fEdited;
    BMenuField* fPatchField;
    BMenuField* fWaveFields[SynthPatch::kOscillators];
    BSlider* fDetune;
    BSlider* fCutoff;
    BSlider* fResonance;
    BSlider* fEnvAmount;
};

// The GUI thread. The window for instrument, built from the layout in the add-on's own file
// and shown; null when that file carries no layout.
InstrumentSynthWindow* CreateSynthWindow(InstrumentSynth* instrument);
