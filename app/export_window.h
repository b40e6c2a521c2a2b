// Exports the song: as a WAV file, with stems if asked, or as a MIDI file of what its MIDI
// instruments send. The renderer's own code renders it on a thread of its own, faster than
// real time, while this window shows how far it has come and can cancel; the other windows
// stay drawn but take no input meanwhile, so the song does not change under the export.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "engine/song_export.h"
#include "ui/ie_window.h"

class BFilePanel;
class ProgressBarView;

class ExportWindow : public IEWindow {
  public:
    enum class Kind { kAudio, kMidi };
    // From the save panel: "directory" and "name".
    static constexpr uint32 kChosen = 'EXSV';
    static constexpr uint32 kExport = 'EXGO';
    static constexpr uint32 kCancel = 'EXCN';

    // The GUI thread. Audio shows its choices first; MIDI asks for the file at once.
    explicit ExportWindow(Kind kind);
    ~ExportWindow() override;

    void MessageReceived(BMessage* message) override;
    // Closing while exporting cancels, and the window goes once the export has stopped.
    bool QuitRequested() override;

    // Any thread. Whether an export runs now.
    bool Running() const { return fRunning.load(); }
    // Any thread. Whether any export window's export runs now.
    static bool Exporting();

  private:
    static constexpr uint32 kProgress = 'EXPR';
    static constexpr uint32 kFinished = 'EXDN';

    void AskForFile();
    void Start(const BMessage* chosen);
    // The export thread.
    void Work(ExportOptions options);
    void Export(const ExportOptions& options, std::string* error);
    void Finished(const BMessage* message);
    void ShowStatus(const std::string& text);

    const Kind fKind;
    std::unique_ptr<BFilePanel> fPanel;
    ProgressBarView* fBar = nullptr;
    std::thread fWorker;
    std::atomic<bool> fRunning{false};
    std::atomic<bool> fCancel{false};
    bool fQuitWhenDone = false;
    std::string fPath;
};
