#include "platform/interface/font.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <cstring>

namespace {

const char* kPlainFamily = "DejaVu Sans";
const char* kFixedFamily = "DejaVu Sans Mono";

bool CanMeasure() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance());
}

const BFont kPlain(kPlainFamily, 12);
const BFont kBold(kPlainFamily, 12, B_BOLD_FACE);
const BFont kFixed(kFixedFamily, 12);

}  // namespace

const BFont* be_plain_font = &kPlain;
const BFont* be_bold_font = &kBold;
const BFont* be_fixed_font = &kFixed;

BFont::BFont() : BFont(kPlainFamily, 12) {}

BFont::BFont(const char* family, float size, uint16 face)
    : fFamily(family ? family : kPlainFamily), fSize(size), fFace(face) {}

void BFont::SetFamilyAndStyle(const char* family, const char* style) {
    if (family) fFamily = family;
    if (!style) return;
    fFace = 0;
    if (std::strstr(style, "Bold")) fFace |= B_BOLD_FACE;
    if (std::strstr(style, "Italic") || std::strstr(style, "Oblique")) fFace |= B_ITALIC_FACE;
    if (!fFace) fFace = B_REGULAR_FACE;
}

void BFont::GetFamilyAndStyle(std::string* family, std::string* style) const {
    if (family) *family = fFamily;
    if (!style) return;
    const bool bold = fFace & B_BOLD_FACE, italic = fFace & B_ITALIC_FACE;
    *style = bold && italic ? "Bold Italic" : bold ? "Bold" : italic ? "Italic" : "Book";
}

float BFont::StringWidth(const char* text) const {
    return text ? StringWidth(text, int32(std::strlen(text))) : 0;
}

float BFont::StringWidth(const char* text, int32 length) const {
    if (!text || length <= 0) return 0;
    const QString string = QString::fromUtf8(text, length);
    if (!CanMeasure()) return float(string.size()) * fSize * 0.6f;
    return float(QFontMetricsF(ToQFont()).horizontalAdvance(string));
}

void BFont::GetHeight(font_height* height) const {
    if (!height) return;
    if (!CanMeasure()) {
        *height = {fSize * 0.8f, fSize * 0.25f, 0};
        return;
    }
    QFontMetricsF metrics(ToQFont());
    *height = {float(metrics.ascent()), float(metrics.descent()), float(metrics.leading())};
}

QFont BFont::ToQFont() const {
    QFont font(QString::fromStdString(fFamily));
    font.setPixelSize(std::max(1, int(fSize + 0.5f)));
    font.setBold(fFace & B_BOLD_FACE);
    font.setItalic(fFace & B_ITALIC_FACE);
    font.setStyleHint(fFamily == kFixedFamily ? QFont::Monospace : QFont::SansSerif);
    return font;
}
