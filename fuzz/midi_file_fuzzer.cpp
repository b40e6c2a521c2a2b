// Arbitrary bytes read as a MIDI file and, when the reader takes them, laid out as a song:
// nothing may crash, leak, hang or take memory past the reader's bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "addons/MidiFile/import_plan.h"
#include "addons/MidiFile/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MidiFile file;
    std::string why;
    if (!file.Read(data, size, &why)) return 0;
    ImportPlan plan;
    plan.Make(file, &why);
    return 0;
}
