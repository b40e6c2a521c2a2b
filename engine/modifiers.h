// Per-note parameters an instrument offers, and their values per row of a pattern.
#pragma once

#include <atomic>

#include "message/message.h"

struct ModifierInfo {
    const char* name;
    float min;
    float max;
    float def;
};

struct ModifierInfoList {
    int32 count;
    ModifierInfo* info;
};

// Window threads write values and the player thread reads them: a page is published only once
// filled, and each value is one atomic float.
class Modifiers {
  public:
    static constexpr int32 kMaxPages = 128;
    // More rows than any page of a pattern holds.
    static constexpr int32 kMaxLength = 65536;

    Modifiers(ModifierInfoList* list, int32 rows);
    ~Modifiers();
    Modifiers(const Modifiers&) = delete;
    Modifiers& operator=(const Modifiers&) = delete;

    // Modifier indices outside the list and rows outside the page are ignored. A page that
    // exists is refilled with the default rather than replaced, as the player may be reading it.
    void CreatePage(int32 j);
    // Every existing page back to its default.
    void Reset();
    void SetVal(int32 j, int32 row, float value);
    // The default of modifier j where its page does not exist; 0 for an invalid index.
    float GetVal(int32 j, int32 row) const;
    float GetVal(int32 j) const { return GetVal(j, current); }

    void Save(BMessage* msg) const;
    // Keeps the length it was made with, the rows of the page it belongs to, whatever the
    // record says: a file cannot make it allocate more. Values that are not finite take the
    // modifier's default; the others are held to its range.
    void Open(BMessage* msg);

    ModifierInfoList* info;
    std::atomic<float*> pages[kMaxPages] = {};
    int32 length;
    int32 current = 0;

  private:
    int32 Count() const;
    void FreePages();
    void Fill(int32 j, float value);
};
