// Draws the program's art: the widget kit's images, the transport buttons, the knob strip and
// the program's icons.
//
// The build runs `velloran-artgen --knob FILE` for the knob strip's source and
// `velloran-artgen --icons DIR SIZE...` for the icons. The TGA files are committed; to redraw them
// (from the source tree root):
//   ninja -C BUILD velloran-artgen && QT_QPA_PLATFORM=offscreen BUILD/velloran-artgen .
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tools/artgen/art_kit.h"
#include "tools/artgen/icon_art.h"
#include "tools/artgen/transport_art.h"
#include "tools/artgen/widget_art.h"

namespace {

bool WriteTransportButtons(const std::string& images) {
    const std::pair<TransportSymbol, const char*> buttons[] = {
        {TransportSymbol::kPlay, "Play"},
        {TransportSymbol::kRecord, "Rec"},
        {TransportSymbol::kLoop, "Loop"},
        {TransportSymbol::kSolo, "Solo"},
        {TransportSymbol::kDetails, "Details"}};
    for (const auto& [symbol, name] : buttons)
        for (const bool lit : {false, true})
            if (!WriteTga(TransportButton(symbol, lit),
                          images + name + (lit ? "On.tga" : "Off.tga")))
                return false;
    return true;
}

bool WriteImages(const std::string& root) {
    const std::string images = root + "/resources/images/";
    return WriteTga(PatternButton(false), images + "PatternButton1.tga") &&
           WriteTga(PatternButton(true), images + "PatternButton2.tga") &&
           WriteTga(MuteButton(false), images + "MuteButton1.tga") &&
           WriteTga(MuteButton(true), images + "MuteButton2.tga") &&
           WriteTga(PosBar(), images + "PosBar.tga") &&
           WriteTga(PosMark(), images + "PosMark.tga") && WriteTransportButtons(images) &&
           WriteTga(TrackerBox(15, 15), root + "/addons/Gridloom/images/BoxBitmap.tga") &&
           WriteTga(TrackerBox(15, 6), root + "/addons/Gridloom/images/BoxBitmapSmall.tga");
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const std::string mode = argc > 2 ? argv[1] : "";
    const std::string target = argc > 2 ? argv[2] : argc > 1 ? argv[1] : ".";
    bool written = false;
    if (mode == "--knob") {
        written = WriteKnob(target);
    } else if (mode == "--icons") {
        std::vector<int> sizes;
        for (int i = 3; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
        written = WriteIcons(target, sizes);
    } else if (mode.empty()) {
        written = WriteImages(target);
    }
    if (written) return 0;
    std::fprintf(stderr, "velloran-artgen: could not write %s\n", target.c_str());
    return 1;
}
