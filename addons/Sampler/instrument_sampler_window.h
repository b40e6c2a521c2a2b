// The Sampler's editor: loads a sample file and sets its root note, loop and envelope. The
// add-on has one such window, pointed at the instrument that last asked to be shown.
#pragma once

#include <memory>

#include "ui/ie_window.h"

class BFilePanel;
class BResources;
class BStringView;
class BTextControl;
class InstrumentSampler;

class InstrumentSamplerWindow : public IEWindow {
  public:
    // The commands of the layout's controls, and of the file panel's answer ("refs").
    static constexpr uint32 kLoad = 200;
    static constexpr uint32 kRoot = 201;
    static constexpr uint32 kLoop = 202;
    static constexpr uint32 kEnvelope = 203;
    static constexpr uint32 kFileChosen = four_cc("sfil");
    static constexpr const char* kLayout = "InstrumentSamplerWindow";

    // The GUI thread. Builds the window from the layout in resources and shows it editing
    // instrument.
    InstrumentSamplerWindow(InstrumentSampler* instrument, BResources* resources);
    ~InstrumentSamplerWindow() override;

    // Any thread. Edits instrument from now on and shows the window with its values.
    void Edit(InstrumentSampler* instrument);
    // Any thread, before the instrument is freed: the window hides and edits nothing.
    void Forget(InstrumentSampler* instrument);
    // Any thread. A shown window that edits instrument shows its values again.
    void Refresh(InstrumentSampler* instrument);
    void MessageReceived(BMessage* message) override;
    // Closing only hides: the window lives as long as the add-on image.
    bool QuitRequested() override;

  private:
    void ShowValues();
    void LoadChosen(BMessage* message);
    void CommitLoop();
    void CommitEnvelope();
    int32 Number(BTextControl* field) const;

    InstrumentSampler* fInstrument = nullptr;
    std::unique_ptr<BFilePanel> fPanel;
    BStringView* fSampleInfo;
    BTextControl* fRoot;
    BTextControl* fLoopStart;
    BTextControl* fLoopEnd;
    BTextControl* fAttack;
    BTextControl* fHold;
    BTextControl* fRelease;
};

// The GUI thread. The window for instrument, built from the layout in the add-on's own file and
// shown; null when that file carries no layout.
InstrumentSamplerWindow* CreateSamplerWindow(InstrumentSampler* instrument);
