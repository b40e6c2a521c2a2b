// The Midi instrument's editor: its MIDI port, channel, General MIDI program and time offset.
// The add-on has one such window, pointed at the instrument that last asked to be shown.
#pragma once

#include <string>
#include <vector>

#include "ui/ie_window.h"

class BMenuField;
class BResources;
class BTextControl;
class InstrumentMidi;

class InstrumentMidiWindow : public IEWindow {
  public:
    // The commands of the menus' items and of the time-offset field.
    static constexpr uint32 kChannel = four_cc("chan");                 // int32 "nr": 1 to 16
    static constexpr uint32 kProgram = uint32('g') << 8 | uint32('m');  // int32 "nr": 0 to 127
    static constexpr uint32 kPort = four_cc("port");                    // string "name"
    static constexpr uint32 kTimeOffset = 103;                          // "txtTimeOfs" committed
    static constexpr const char* kLayout = "InstrumentMidiWindow";

    // The system's MIDI output ports, in its order.
    using PortLister = std::vector<std::string> (*)();

    // The GUI thread. Builds the window from the layout in resources (the caller's still),
    // fills its menus and shows it editing instrument.
    InstrumentMidiWindow(InstrumentMidi* instrument, BResources* resources);

    // Any thread. Edits instrument from now on and shows the window with its values. A time
    // offset typed but not yet committed still goes to the instrument it was typed for.
    void Edit(InstrumentMidi* instrument);
    // Any thread, before the instrument is freed. A window that edits it hides and edits
    // nothing until the next Edit: commits that still arrive find no instrument.
    void Forget(InstrumentMidi* instrument);
    // Any thread. A shown window that edits instrument shows its values again.
    void Refresh(InstrumentMidi* instrument);
    // Any thread. Brings the window up and shows the instrument's values; the port menu is
    // listed anew each time, each port named as an instrument stores it (whole up to 51
    // bytes).
    void Show() override;
    void MessageReceived(BMessage* message) override;
    // Closing only hides: the window lives as long as the add-on image.
    bool QuitRequested() override;

    // The GUI thread. Where the port menu's ports come from (tests give their own); null
    // restores the system's.
    static void SetPortLister(PortLister lister);
    // Any thread. The system's output ports, named in full.
    static std::vector<std::string> SystemPorts();

  private:
    // Each field's button names the instrument's value, and the menu marks its item if it has
    // one (the program's menu marks none).
    void ShowValues();
    void ListPorts();
    void CommitTimeOffset();

    InstrumentMidi* fInstrument = nullptr;
    BMenuField* fProgramField;
    BMenuField* fPortField;
    BMenuField* fChannelField;
    BTextControl* fTimeOffset;
    // The text the field was last given: any other text in it was typed and not committed.
    std::string fShownOffset;
};

// The GUI thread. The window for instrument, built from the layout in the add-on's own file and
// shown; null when that file carries no layout.
InstrumentMidiWindow* CreateInstrumentWindow(InstrumentMidi* instrument);
