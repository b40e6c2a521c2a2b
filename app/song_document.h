// The song as a file: its name, whether it changed since it was last opened or saved, the
// file commands, which never drop changes without asking, and the undo history of its edits.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "engine/undo_history.h"
#include "message/message.h"
#include "platform/interface/file_panel.h"

class BWindow;

class SongDocument {
  public:
    static constexpr const char* kUnnamed = "Unnamed";
    static constexpr const char* kSongType = "audio/VelloranFile";
    static constexpr const char* kSignature = "application/x-vnd.Velloran";

    // refresh runs after the song was replaced, renamed, or brought back by undo or redo.
    SongDocument(BWindow* window, std::function<void()> refresh);
    ~SongDocument();
    SongDocument(const SongDocument&) = delete;
    SongDocument& operator=(const SongDocument&) = delete;

    // The window's thread, as are all below.
    const std::string& FileName() const { return fFileName; }
    // The part after the last "/".
    std::string LeafName() const;
    // Whether the song differs from what was last opened or saved.
    bool Changed() const;
    // True when the caller may replace or leave the song: nothing changed, or the user saved
    // or dropped the changes. When the song must first be named, `then` comes back to the
    // window once it is saved.
    bool MaySetAside(const BMessage& then);

    void New();
    // 'OPEN': the first of "refs".
    void Open(const BMessage* message);
    // 'SAVE': "name", joined to "directory" when the save panel sends one.
    void Save(const BMessage* message);
    // File > Save: the song's own name, or the save panel when it has none.
    void SaveInPlace();
    // An edit has ended: the song as it is now becomes a step to undo, if it changed; true then.
    bool Commit();
    // Edit > Undo and Redo: false when there was nothing to undo or redo.
    bool Undo();
    bool Redo();
    // The menu items' names: "Undo", or "Undo " and what the step did.
    std::string UndoLabel() const;
    std::string RedoLabel() const;
    bool CanUndo() const { return fHistory.CanUndo(); }
    bool CanRedo() const { return fHistory.CanRedo(); }

    void ShowOpenPanel();
    void ShowSavePanel();
    // A panel closed without a choice.
    void Cancelled();
    BFilePanel* OpenPanel() const { return fOpenPanel; }
    BFilePanel* SavePanel() const { return fSavePanel; }

  private:
    bool SaveTo(const std::string& path);
    void OpenSong(const std::string& path, const BMessage* message);
    void Import(const std::string& path, const std::string& type, const BMessage* message);
    // A song other than the one edited so far: the undo history starts again.
    void Replaced(const std::string& name, bool saved);
    void Named(const std::string& name, bool saved);
    // Undo or redo, and the windows shown anew when it did something.
    bool Walk(bool (UndoHistory::*step)());
    // "Undo", or "Undo " and what the step did.
    static std::string Label(const std::string& command, const std::string& step);
    std::string PanelFolder() const;
    BFilePanel* Panel(BFilePanel** panel, file_panel_mode mode, uint32 command);

    BWindow* fWindow;
    std::function<void()> fRefresh;
    std::string fFileName = kUnnamed;
    UndoHistory fHistory;
    // The song as last opened or saved; none for one never saved.
    std::optional<SongSnapshot> fSaved;
    BMessage fAfterSave;
    BFilePanel* fOpenPanel = nullptr;
    BFilePanel* fSavePanel = nullptr;
};
