// A window built from a layout stored in resources, which closes its dependant windows with it.
#pragma once

#include <string>
#include <vector>

#include "platform/app/messenger.h"
#include "platform/interface/window.h"

class BResources;

// The layout name in the error window's title when no layout of that name is stored.
constexpr const char* kMissingLayoutTitle = "Window \"%s\" not found in resources!";

// Any thread. The stored layout ('ARCV') of that name, or the archive of a small window whose
// title says the layout is missing; resources null means the program's own. Caller owns it.
BMessage* FindWindowResource(const char* name, BResources* resources = nullptr);

class IEWindow : public BWindow {
  public:
    // Builds the window hidden, with its loop running. Besides the window's own archive, the
    // layout may hold "IEflags" (bit 0: centre on the screen) and "minWidth", "maxWidth",
    // "minHeight", "maxHeight" (size limits, applied when "minWidth" is there).
    explicit IEWindow(const char* name, BResources* resources = nullptr);
    ~IEWindow() override;

    // Any thread: remember a window to close together with this one.
    void AddDependantWindow(BWindow* window);
    // Closes the dependant windows that still exist, then this one.
    void Quit() override;
    const char* LayoutName() const { return fLayoutName.c_str(); }

  private:
    IEWindow(BMessage* layout, const char* name);
    void ApplyLayoutKeys(const BMessage* layout);

    std::vector<BMessenger> fDependants;
    std::string fLayoutName;
};
