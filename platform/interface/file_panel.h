// The open and save panels: a file dialog that sends its answer as a message.
//
// Threads: any. The dialog lives on the GUI thread and never blocks the caller; its answer
// arrives at the target like any other message.
#pragma once

#include <string>

#include "message/entry_ref.h"
#include "platform/app/messenger.h"

class QFileDialog;

enum file_panel_mode : int32 { B_OPEN_PANEL = 0, B_SAVE_PANEL };
enum file_panel_button : int32 { B_CANCEL_BUTTON = 0, B_DEFAULT_BUTTON };
enum : uint32 { B_FILE_NODE = 0x01, B_SYMLINK_NODE = 0x02, B_DIRECTORY_NODE = 0x04 };

class BFilePanel {
  public:
    // Without a target the application is the target. Takes the message; without one an
    // open panel sends B_REFS_RECEIVED and a save panel B_SAVE_REQUESTED.
    // nodeFlavors: what an open panel may choose (0 means files).
    BFilePanel(file_panel_mode mode = B_OPEN_PANEL, BMessenger* target = nullptr,
               const entry_ref* directory = nullptr, uint32 nodeFlavors = 0,
               bool allowMultipleSelection = true, BMessage* message = nullptr,
               void* refFilter = nullptr, bool modal = false, bool hideWhenDone = true);
    virtual ~BFilePanel();
    BFilePanel(const BFilePanel&) = delete;
    BFilePanel& operator=(const BFilePanel&) = delete;

    // Opens the dialog (again) on the panel's folder. An open panel sends "refs" (one
    // B_REF_TYPE entry per chosen file); a save panel sends "directory" (a reference to the
    // folder) and "name". Closing without a choice sends B_CANCEL with "old_what".
    void Show();
    void Hide();
    bool IsShowing() const;

    file_panel_mode PanelMode() const { return fMode; }
    void SetTarget(BMessenger target);
    BMessenger Messenger() const { return fTarget; }
    // Takes the message.
    void SetMessage(BMessage* message);
    void SetPanelDirectory(const char* directory);
    void SetPanelDirectory(const entry_ref* directory);
    void GetPanelDirectory(entry_ref* directory) const;
    // The name a save panel proposes.
    void SetSaveText(const char* text);
    void SetButtonLabel(file_panel_button button, const char* label);
    void SetHideWhenDone(bool hide) { fHideWhenDone = hide; }

    // The kit, the GUI thread: the dialog while the panel shows (for tests).
    QFileDialog* Dialog() const { return fDialog; }

  private:
    // The GUI thread.
    void Open();
    void Answer(bool accepted);
    BMessage Reply() const;

    file_panel_mode fMode;
    BMessenger fTarget;
    BMessage* fMessage;
    std::string fDirectory;
    std::string fSaveText;
    std::string fButtonLabels[2];
    uint32 fFlavors;
    bool fMultiple;
    bool fModal;
    bool fHideWhenDone;
    QFileDialog* fDialog = nullptr;
};
