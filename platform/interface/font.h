// A font by family, style and size in pixels; measures strings.
#pragma once

#include <string>

#include "platform/interface/interface_defs.h"

class QFont;

struct font_height {
    float ascent;
    float descent;
    float leading;
};

enum : uint16 { B_REGULAR_FACE = 0x40, B_BOLD_FACE = 0x20, B_ITALIC_FACE = 0x01 };

// Any thread; measuring needs the GUI (without it, widths are estimated from the size).
class BFont {
  public:
    BFont();
    BFont(const char* family, float size, uint16 face = B_REGULAR_FACE);

    void SetSize(float size) { fSize = size > 0 ? size : fSize; }
    float Size() const { return fSize; }
    void SetFamilyAndStyle(const char* family, const char* style);
    void GetFamilyAndStyle(std::string* family, std::string* style) const;
    void SetFace(uint16 face) { fFace = face; }
    uint16 Face() const { return fFace; }

    float StringWidth(const char* text) const;
    float StringWidth(const char* text, int32 length) const;
    void GetHeight(font_height* height) const;

    QFont ToQFont() const;
    bool operator==(const BFont&) const = default;

  private:
    std::string fFamily;
    float fSize;
    uint16 fFace;
};

extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;
