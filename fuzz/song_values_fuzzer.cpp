// Builds songs whose every value comes from the fuzzer: machines of the real add-ons with
// their connections, slots, tracks, pages, modifiers, controller settings and effect lists,
// and instruments. Each is written as a song file, opened, played for a few steps offline,
// saved and opened again. What plays must be finite.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/player.h"
#include "engine/song.h"
#include "engine/undo_history.h"
#include "fuzz/fuzz_song.h"
#include "platform/media/sound_output.h"
#include "platform/storage/file.h"

namespace {

std::string song_path;

// Any bit pattern, so NaN, infinity and denormals come up as often as the rest.
float AnyFloat(FuzzedDataProvider& in) {
    const auto bits = in.ConsumeIntegral<uint32>();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Mostly small numbers, sometimes the ends of the range.
int32 AnyInt(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return in.ConsumeIntegral<int32>();
        case 1:
            return in.PickValueInArray({INT32_MIN, INT32_MAX, -1, 0});
        default:
            return in.ConsumeIntegralInRange(-4, 600);
    }
}

void AddRows(FuzzedDataProvider& in, BMessage* msg, const char* key, int32 most) {
    std::vector<int32> rows(in.ConsumeIntegralInRange<size_t>(0, size_t(most)));
    for (int32& row : rows) row = AnyInt(in);
    msg->AddData(key, B_INT32_TYPE, rows.data(), ssize_t(rows.size() * sizeof(int32)));
}

BMessage ModifierRecord(FuzzedDataProvider& in) {
    BMessage values;
    values.AddInt32("length", AnyInt(in));
    for (int k = in.ConsumeIntegralInRange(0, 3); k > 0; k--) {
        values.AddString("name", in.PickValueInArray({"Volume", "Controller 1", "Pan", ""}));
        std::vector<float> rows(in.ConsumeIntegralInRange<size_t>(0, 300));
        for (float& row : rows) row = AnyFloat(in);
        values.AddData("val", B_FLOAT_TYPE, rows.data(), ssize_t(rows.size() * sizeof(float)));
    }
    return values;
}

BMessage TrackRecord(FuzzedDataProvider& in) {
    BMessage track;
    track.AddInt16("instr", in.ConsumeIntegral<int16>());
    track.AddInt32("num_pages", AnyInt(in));
    for (int p = in.ConsumeIntegralInRange(0, 4); p > 0; p--) {
        track.AddInt32("emptypage", in.ConsumeIntegralInRange(0, 1));
        AddRows(in, &track, "status", 260);
        AddRows(in, &track, "note", 260);
        BMessage values = ModifierRecord(in);
        track.AddMessage("_Modifiers", &values);
    }
    track.AddInt32("mute", in.ConsumeIntegralInRange(0, 1));
    return track;
}

void AddTracker(FuzzedDataProvider& in, BMessage* machine) {
    AddRows(in, machine, "status", 520);
    for (const char* key : {"mute", "num_measures", "step_per_measure", "num_tracks"}) {
        machine->AddInt32(key, AnyInt(in));
    }
    for (int t = in.ConsumeIntegralInRange(0, 4); t > 0; t--) {
        BMessage track = TrackRecord(in);
        machine->AddMessage("track", &track);
    }
}

void AddPipe(FuzzedDataProvider& in, BMessage* machine) {
    machine->AddInt32("bypassall", AnyInt(in));
    machine->AddInt32("num_effects", AnyInt(in));
    for (int e = in.ConsumeIntegralInRange(0, 4); e > 0; e--) {
        machine->AddString("effectname",
                           in.PickValueInArray({"GainPan", "LowPass", "StereoEcho", "None"}));
        BMessage effect;
        effect.AddInt32("mute", AnyInt(in));
        for (int p = in.ConsumeIntegralInRange(0, 6); p > 0; p--) {
            effect.AddFloat("parameter", AnyFloat(in));
        }
        machine->AddMessage("effect", &effect);
    }
}

BMessage MachineRecord(FuzzedDataProvider& in, const std::string& addon) {
    BMessage machine;
    if (in.ConsumeBool()) machine.AddPoint("Machine::position", {AnyFloat(in), AnyFloat(in)});
    machine.AddInt32("Machine::mute", in.ConsumeIntegralInRange(0, 1));
    const int inputs = in.ConsumeIntegralInRange(0, 4);
    machine.AddInt32("Machine::num_in_machines", in.ConsumeBool() ? inputs : AnyInt(in));
    for (int i = 0; i < inputs; i++) {
        machine.AddInt32("Machine::in_machine", AnyInt(in));
        machine.AddFloat("Machine::in_vol_left", AnyFloat(in));
        machine.AddFloat("Machine::in_vol_right", AnyFloat(in));
    }
    const int outputs = in.ConsumeIntegralInRange(0, 4);
    machine.AddInt32("Machine::num_out_machines", in.ConsumeBool() ? outputs : AnyInt(in));
    for (int i = 0; i < outputs; i++) machine.AddInt32("Machine::out_machine", AnyInt(in));
    if (addon == "Gridloom") AddTracker(in, &machine);
    if (addon == "Plugbay") AddPipe(in, &machine);
    for (const char* key : {"rep1", "rep2", "reptimes", "pos", "tempo"}) {
        if (in.ConsumeBool()) machine.AddInt32(key, AnyInt(in));
    }
    return machine;
}

BMessage SongRecord(FuzzedDataProvider& in) {
    BMessage file;
    for (const char* key :
         {"solo", "solo_machine", "loop", "start_pos", "stop_pos", "main_tempo"}) {
        file.AddInt32(key, AnyInt(in));
    }
    for (int k = in.ConsumeIntegralInRange(0, 3); k > 0; k--) {
        BMessage instrument;
        for (const char* key : {"prognum", "syncofs", "channel"}) {
            instrument.AddInt32(key, AnyInt(in));
        }
        file.AddInt16("instrnr", in.ConsumeIntegralInRange<int16>(-1, 130));
        file.AddMessage("instr", &instrument);
        file.AddString("instrument_name", in.PickValueInArray({"Midi", "Gone"}));
    }
    const int machines = in.ConsumeIntegralInRange(0, 8);
    file.AddInt32("num_machines", in.ConsumeBool() ? machines + 1 : AnyInt(in));
    BMessage master = MachineRecord(in, "Master");
    file.AddMessage("machine", &master);
    file.AddString("machine_name", "Master");
    for (int i = 0; i < machines; i++) {
        const std::string addon =
            in.PickValueInArray({"Gridloom", "Plugbay", "Repeat", "Tempo", "Master", "Gone"});
        BMessage machine = MachineRecord(in, addon);
        file.AddMessage("machine", &machine);
        file.AddString("machine_name", addon);
    }
    return file;
}

void Write(const BMessage& file) {
    const std::vector<char> bytes = SongFileBytes(file);
    BFile out(song_path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
    out.Write(bytes.data(), bytes.size());
}

void PlayAndCheck() {
    song->Play();
    static float out[2 * kBigBufferFrames];
    for (int i = 0; i < 6; i++) {
        const int32 frames = bigbuflen[1 - bigbufnr] - bigbufpos;
        SoundOutput::Default().Render(out, frames);
        for (int32 f = 0; f < 2 * frames; f++) {
            if (!std::isfinite(out[f])) std::abort();
        }
        PumpPlayer();
    }
    song->Stop();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    song_path = StartFuzzSong(VELLORAN_BUILD_ROOT, "velloran-values");
    return song_path.empty() ? 1 : 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    Write(SongRecord(in));
    // Refused without a master; anything else opens.
    if (song->Open(song_path.c_str()) != 1) return 0;
    PlayAndCheck();
    // Undone, a new song gives back the song opened, every machine made again from its record.
    UndoHistory history(*song);
    const SongSnapshot opened = history.Current();
    song->New();
    if (!history.Undo() || !(SongSnapshot::Take(*song) == opened)) std::abort();
    PlayAndCheck();
    // What was opened saves and opens again, and still plays.
    if (song->Save(song_path.c_str()) != 1 || song->Open(song_path.c_str()) != 1) std::abort();
    PlayAndCheck();
    return 0;
}
