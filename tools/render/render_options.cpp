#include "tools/render/render_options.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

namespace {

bool Number(const char* text, double low, double high, double* value) {
    char* end = nullptr;
    *value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(*value) && *value >= low && *value <= high;
}

}  // namespace

const char* RenderOptions::Usage() {
    return "Usage: velloran-render SONG -o OUT.wav [--midi OUT.mid] [options]\n"
           "Renders a Velloran song, or any file an importer reads (such as a MIDI file),\n"
           "to a WAV file (44100 Hz, stereo), faster than real time.\n"
           "\n"
           "  -o, --output FILE  the WAV file to write (required)\n"
           "  --float            32-bit float samples instead of 16-bit PCM\n"
           "  --measures N       play N measures (repeats and loops count as played),\n"
           "                     then a two-second tail; an hour at most\n"
           "  --seconds S        play exactly S seconds (an hour at most), no tail\n"
           "                     (default: until the last pattern slot that is not empty\n"
           "                     has played, then a two-second tail, an hour at most;\n"
           "                     a song set to loop stops after 10 minutes)\n"
           "  --volume V         master volume, 0 to 4 (default 1)\n"
           "  --stems DIR        also write one WAV per machine that makes sound\n"
           "                     (NN-Name.wav) and synth.wav for the synthesizer, before\n"
           "                     the master volume\n"
           "  --midi FILE        also (or only) write the messages the song's MIDI\n"
           "                     instruments send, as a type 1 MIDI file with the song's\n"
           "                     tempo changes\n"
           "  --quiet            no progress bar\n"
           "  -h, --help         this text\n";
}

bool RenderOptions::Parse(int argc, const char* const* argv, std::string* error) {
    for (int i = 1; i < argc; i++) {
        const std::string_view arg = argv[i];
        const bool takesValue = arg == "-o" || arg == "--output" || arg == "--measures" ||
                                arg == "--seconds" || arg == "--volume" || arg == "--stems" ||
                                arg == "--midi";
        if (takesValue && i + 1 >= argc) {
            *error = std::string(arg) + " needs a value";
            return false;
        }
        const char* value = takesValue ? argv[++i] : nullptr;
        double number = 0;
        if (arg == "-h" || arg == "--help") {
            help = true;
        } else if (arg == "-o" || arg == "--output") {
            output.output = value;
        } else if (arg == "--stems") {
            output.stems = value;
        } else if (arg == "--midi") {
            output.midi = value;
        } else if (arg == "--float") {
            output.floatSamples = true;
        } else if (arg == "--quiet") {
            progress = false;
        } else if (arg == "--volume") {
            if (!Number(value, 0, 4, &number)) {
                *error = std::string("--volume wants a number from 0 to 4, not ") + value;
                return false;
            }
            output.volume = float(number);
        } else if (arg == "--measures" || arg == "--seconds") {
            const bool measures = arg == "--measures";
            if (!Number(value, measures ? 1 : 0.001, measures ? 100000 : 3600, &number) ||
                (measures && number != std::floor(number))) {
                *error = std::string(arg) +
                         (measures ? " wants a whole number from 1"
                                   : " wants a number of seconds above 0, at most 3600") +
                         ", not " + value;
                return false;
            }
            until = measures ? RenderPlan::Until::kMeasures : RenderPlan::Until::kSeconds;
            amount = number;
        } else if (arg.starts_with('-') && arg.size() > 1) {
            *error = "unknown option " + std::string(arg);
            return false;
        } else if (song.empty()) {
            song = arg;
        } else {
            *error = "only one song at a time (" + song + ", " + std::string(arg) + ")";
            return false;
        }
    }
    if (help) return true;
    if (song.empty()) *error = "no song given";
    if (error->empty() && output.output.empty() && output.midi.empty())
        *error = "no output file given (-o OUT.wav or --midi OUT.mid)";
    return error->empty();
}
