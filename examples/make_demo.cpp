// velloran-make-demo OUT.vel: builds the demo song "Harbour Lights" through the engine's own
// API, with the real add-ons of the build tree, and saves it to OUT.vel.
//
// The song, in A minor, about 43 seconds. Engine "measures" are beats; every Gridloom machine
// has 8 of them to a slot (two bars of 4/4) and 4 rows to a beat (sixteenth notes), so a page
// is two bars: the progression Am-F | C-G takes two slots, even slots Am-F, odd slots C-G.
//
//   slot  measures  bars   plays at (s)      section                                   tempo
//   0     0-7       1-2    0-4               intro: e-piano arpeggio, hats             120
//   1     8-15      3-4    4-8               intro: + kick, bass, snare build          120
//   2-3   16-31     5-8    8-16, again 16-24 verse: full beat, bass, chord stabs, lead 120
//                                            (twice, by the Repeat machine)
//   4-5   32-47     9-12   24-32             chorus: higher lead, 16th hats, driving   120
//                                            bass, drum fill into the last chorus
//   6-7   48-63     13-16  32-39.5           last chorus (the Tempo machine)           128
//   8     64-71     17-18  39.5-43.25        ending: Am chord, bass, lead A5, kick and 128
//                                            crash on the downbeat, the chord rolled
//                                            up an octave as it dies away
// Played: slots 0 1 2 3 2 3 4 5 6 7 8 (22 bars) = 8 + 16 + 8 + 7.5 + 3.75 s = 43.25 s.
// Bars are counted in the slot table; the repeat makes bars 5-8 sound twice.
//
// Machines (index: what, connected to):
//   0 Master
//   1 "Drums"   Gridloom, 3 tracks (kick 36, snare 38, hats 42/46 + crash 49) -> 0
//   2 "Bass"    Gridloom, 1 track                                            -> 0
//   3 "Keys"    Gridloom, 3 tracks, one per chord voice                      -> 0
//   4 "Lead"    Gridloom, 1 track                                            -> 5
//   5 "Echo"    Plugbay with StereoEcho (dotted eighth at 120)               -> 0
//   6 "Lead (alt)" Gridloom, 1 track, a counter-line kept muted              -> 0
//   7 Repeat: measures 16-31 twice;  8 Tempo: 128 at measure 48.
//   9 "Bells"   Gridloom, 1 track, chord tones on the off-beats               -> 0
// Instruments: slots 0-2 and 4 Midi on "Internal Synth" (programs 0-based, as sent); the lead
// sounds inside the graph, so the echo works on it, and so do the bells:
//   slot 0 Drums      channel 10, program 0 (standard kit)
//   slot 1 Bass       channel 2,  program 33 (Electric Bass, finger)
//   slot 2 E-Piano    channel 3,  program 4 (Electric Piano 1)
//   slot 3 Lead       the Synth's "Lead" patch
//   slot 4 Celesta    channel 5,  program 8 (the muted counter-line)
//   slot 5 Bells      the Sampler, on a struck-bar tone this program makes (root C5)
// Solo is off, so any machine can be soloed.
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "addons/Gridloom/pattern_tracker.h"
#include "addons/Plugbay/machine_plugbay.h"
#include "addons/Sampler/instrument_sampler.h"
#include "addons/Synth/instrument_synth.h"
#include "engine/instrument.h"
#include "engine/player.h"
#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"
#include "message/message.h"

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// Errors

[[noreturn]] void Fail(const std::string& text) {
    std::fprintf(stderr, "velloran-make-demo: %s\n", text.c_str());
    std::exit(1);
}

// What the engine would show the user; none is expected while the song is built.
void PrintEngineError(const char* text) {
    std::fprintf(stderr, "velloran-make-demo: the engine says: %s\n", text);
}

// ---------------------------------------------------------------------------------------------
// The song's grid

constexpr int32 kBeatsPerSlot = 8;  // Gridloom num_measures: two bars of 4/4
constexpr int32 kRowsPerBeat = 4;   // Gridloom step_per_measure: sixteenth notes
constexpr int32 kRowsPerBar = 16;
constexpr int32 kSlots = 9;
constexpr int32 kTempo = 120;
constexpr int32 kLastTempo = 128;
constexpr int32 kVerseStart = 2 * kBeatsPerSlot;
constexpr int32 kChorusStart = 4 * kBeatsPerSlot;
constexpr int32 kLastChorusStart = 6 * kBeatsPerSlot;

// A note start: the row in its page, the key and the volume (velocity / 100).
struct Hit {
    int32 row;
    int32 key;
    float volume;
};
using Page = std::vector<Hit>;

// ---------------------------------------------------------------------------------------------
// Harmony: Am F C G, one chord a bar.

enum Chord { kAm, kF, kC, kG };

// Three voices from the bottom, led smoothly: A-C-E, A-C-F, G-C-E, G-B-D.
constexpr int32 kVoicing[4][3] = {{57, 60, 64}, {57, 60, 65}, {55, 60, 64}, {55, 59, 62}};
// A2, F2, C2, G2.
constexpr int32 kBassRoot[4] = {45, 41, 36, 43};

const std::vector<Chord> kFirstHalf = {kAm, kF};
const std::vector<Chord> kSecondHalf = {kC, kG};
const std::vector<Chord> kFinal = {kAm};

// A place in a bar: the row, an interval above the chord's note and a volume.
struct Beat {
    int32 row;
    int32 interval;
    float volume;
};
using Rhythm = std::vector<Beat>;

// The same rhythm in every bar, on the note given for the bar's chord.
template <typename NoteOf>
Page OverChords(const std::vector<Chord>& bars, const Rhythm& rhythm, NoteOf note_of) {
    Page page;
    for (size_t bar = 0; bar < bars.size(); bar++) {
        for (const Beat& beat : rhythm) {
            page.push_back({int32(bar) * kRowsPerBar + beat.row, note_of(bars[bar]) + beat.interval,
                            beat.volume});
        }
    }
    return page;
}

Page ChordVoice(int voice, const std::vector<Chord>& bars, const Rhythm& rhythm) {
    return OverChords(bars, rhythm, [voice](Chord c) { return kVoicing[c][voice]; });
}

Page BassLine(const std::vector<Chord>& bars, const Rhythm& rhythm) {
    return OverChords(bars, rhythm, [](Chord c) { return kBassRoot[c]; });
}

// E-piano: a rising arpeggio in eighths, each voice on its own rows (intro) ...
const Rhythm kArpeggio[3] = {{{0, 0, 0.55f}, {6, 0, 0.45f}, {12, 0, 0.5f}},
                             {{2, 0, 0.45f}, {8, 0, 0.5f}, {14, 0, 0.45f}},
                             {{4, 0, 0.45f}, {10, 0, 0.45f}}};
// ... chord stabs in 3-3-2 eighths (verse and chorus), and the last chord.
const Rhythm kStabs = {{0, 0, 0.6f}, {6, 0, 0.48f}, {12, 0, 0.5f}};
// The last chord, then each voice an octave up, one after the other, dying away.
const Rhythm kLastChord[3] = {{{0, 0, 0.7f}, {4, 12, 0.45f}, {16, 24, 0.35f}},
                              {{0, 0, 0.7f}, {8, 12, 0.4f}},
                              {{0, 0, 0.7f}, {12, 12, 0.38f}, {24, 12, 0.28f}}};

// Bass: roots on the 3-3-2 (intro), with fifth and octave (verse), driving eighths (chorus).
const Rhythm kBassIntro = {{0, 0, 0.8f}, {6, 0, 0.7f}, {12, 0, 0.7f}};
const Rhythm kBassVerse = {{0, 0, 0.85f}, {3, 0, 0.6f},  {6, 0, 0.75f},
                           {8, 0, 0.8f},  {12, 7, 0.7f}, {14, 12, 0.65f}};
const Rhythm kBassChorus = {{0, 0, 0.85f}, {2, 0, 0.6f},  {4, 0, 0.7f},  {6, 12, 0.65f},
                            {8, 0, 0.8f},  {10, 0, 0.6f}, {12, 7, 0.7f}, {14, 12, 0.65f}};
const Rhythm kBassLast = {{0, 0, 0.9f}};

// ---------------------------------------------------------------------------------------------
// Melody: vibraphone, in A minor, rows of a two-bar page.

struct Tone {
    int32 row;
    int32 key;
};

Page Melody(std::initializer_list<Tone> tones, float volume) {
    Page page;
    for (const Tone& tone : tones) page.push_back({tone.row, tone.key, volume});
    return page;
}

// Verse, over Am | F: E C D E G E | F E D C A.
const Page kVerseA = Melody({{0, 76},
                             {4, 72},
                             {6, 74},
                             {8, 76},
                             {12, 79},
                             {14, 76},
                             {16, 77},
                             {20, 76},
                             {22, 74},
                             {24, 72},
                             {28, 69}},
                            0.75f);
// Verse, over C | G: the same figure, then D B C D B back towards the Am.
const Page kVerseB = Melody({{0, 76},
                             {4, 72},
                             {6, 74},
                             {8, 76},
                             {12, 79},
                             {14, 76},
                             {16, 74},
                             {20, 71},
                             {22, 72},
                             {24, 74},
                             {28, 71}},
                            0.75f);
// Chorus, an octave of range higher, over Am | F: A G E C E G | A F G A C A.
const Page kChorusA = Melody({{0, 81},
                              {4, 79},
                              {6, 76},
                              {8, 72},
                              {12, 76},
                              {14, 79},
                              {16, 81},
                              {20, 77},
                              {22, 79},
                              {24, 81},
                              {26, 84},
                              {28, 81}},
                             0.8f);
// Chorus, over C | G: G E C E G C | B G A G D.
const Page kChorusB = Melody({{0, 79},
                              {4, 76},
                              {6, 72},
                              {8, 76},
                              {12, 79},
                              {14, 84},
                              {16, 83},
                              {20, 79},
                              {22, 81},
                              {24, 79},
                              {28, 74}},
                             0.8f);
const Page kLeadLast = Melody({{0, 81}}, 0.8f);

// The Synth and the Sampler play at full scale, far louder than the General MIDI voices:
// their velocities are brought down to sit in the mix.
Page Quieter(Page page, float factor) {
    for (Hit& hit : page) hit.volume *= factor;
    return page;
}

// Bells: the chord's voices an octave up on the off-beats, from the top down.
Page Bells(const std::vector<Chord>& bars) {
    Page page = ChordVoice(2, bars, {{2, 12, 0.5f}});
    for (const Hit& hit : ChordVoice(1, bars, {{6, 12, 0.42f}, {14, 12, 0.38f}}))
        page.push_back(hit);
    for (const Hit& hit : ChordVoice(0, bars, {{10, 12, 0.45f}})) page.push_back(hit);
    return Quieter(page, 0.3f);
}

// The muted counter-line: chord tones in half notes.
const Page kCounterA = Melody({{0, 76}, {8, 72}, {16, 77}, {24, 72}}, 0.6f);
const Page kCounterB = Melody({{0, 76}, {8, 79}, {16, 74}, {24, 71}}, 0.6f);

// ---------------------------------------------------------------------------------------------
// Drums: one character a row, two bars ('|' only for the eye).
//   '.' rest, 'o' ghost, 'x' normal, 'X' accent on the track's key;
//   'O' open hi-hat and 'C' crash (on the hats track).

constexpr int32 kKick = 36;
constexpr int32 kSnare = 38;
constexpr int32 kClosedHat = 42;
constexpr int32 kOpenHat = 46;
constexpr int32 kCrash = 49;

Page Grid(int32 key, std::string_view grid) {
    Page page;
    int32 row = 0;
    for (char c : grid) {
        if (c == '|') continue;
        switch (c) {
            case 'o':
                page.push_back({row, key, 0.35f});
                break;
            case 'x':
                page.push_back({row, key, 0.62f});
                break;
            case 'X':
                page.push_back({row, key, 0.9f});
                break;
            case 'O':
                page.push_back({row, kOpenHat, 0.55f});
                break;
            case 'C':
                page.push_back({row, kCrash, 0.8f});
                break;
            default:
                break;
        }
        row++;
    }
    if (row != 2 * kRowsPerBar) Fail("a drum grid is not two bars long: " + std::string(grid));
    return page;
}

struct DrumPage {
    const char* kick;
    const char* snare;
    const char* hats;
};

// Drum pages 1 to 7.
const DrumPage kDrumPages[] = {
    // 1 intro: hats alone
    {"................|................", "................|................",
     "x.o.x.o.x.o.x.o.|x.o.x.o.x.o.x.O."},
    // 2 intro: kick on 1 and 3, a snare build into the verse
    {"X.......x.......|X.......x.......", "................|........o.o.oxxX",
     "x.o.x.o.x.o.x.o.|x.o.x.o........."},
    // 3 verse groove, crash on the one
    {"X.......x.x.....|X.....x.x.x.....", "....X.......X...|....X.......X...",
     "C.o.x.o.x.o.x.o.|x.o.x.o.x.o.x.O."},
    // 4 verse groove, syncopated kick and ghost notes at the end
    {"X.......x.x.....|X..x....x.......", "....X.......X...|....X.......X.oo",
     "x.o.x.o.x.o.x.o.|x.o.x.o.x.o.x.O."},
    // 5 chorus fill: the snare takes the last two beats
    {"X.......x.x.....|X.......x.......", "....X.......X...|....X.....x.xxXX",
     "xoxoxoxoxoxoxoxo|xoxoxoxo........"},
    // 6 ending: kick and crash on the downbeat
    {"X...............|................", "................|................",
     "C...............|................"},
    // 7 chorus groove: sixteenth hats, crash on the one
    {"X.......x.x.....|X.....x.x.x.....", "....X.......X...|....X.......X...",
     "Coxoxoxoxoxoxoxo|xoxoxoxoxoxoxoO."},
};

// ---------------------------------------------------------------------------------------------
// Which page plays in each slot (1-based; 0 nothing).

using SlotTable = std::vector<int32>;
//                              intro   verse   chorus  last    end
const SlotTable kDrumSlots = {1, 2, 3, 4, 7, 5, 7, 5, 6};
const SlotTable kBassSlots = {0, 3, 1, 2, 5, 6, 5, 6, 4};
const SlotTable kKeysSlots = {1, 2, 3, 4, 3, 4, 3, 4, 5};
const SlotTable kLeadSlots = {0, 0, 1, 2, 3, 4, 3, 4, 5};
const SlotTable kCounterSlots = {0, 0, 1, 2, 1, 2, 1, 2, 0};
const SlotTable kBellSlots = {0, 0, 1, 2, 1, 2, 1, 2, 0};

// ---------------------------------------------------------------------------------------------
// Building through the engine

enum InstrumentSlot { kDrumKit, kBassGuitar, kEPiano, kLeadSynth, kCelesta, kBellSampler };

// An instrument of the named add-on in the slot, as the instrument window makes one.
template <class Kind>
Kind* AddInstrument(int32 slot, const char* addon) {
    Addon* made = instrument_roster.Create(addon);
    auto* instrument = dynamic_cast<Kind*>(made);
    if (instrument == nullptr) {
        delete made;
        Fail(std::string("can't create the ") + addon + " instrument: is add-ons/instruments/" +
             addon + " there?");
    }
    song->instruments[slot] = instrument;
    return instrument;
}

void AddMidiInstrument(int32 slot, const char* name, int32 channel, int32 program) {
    BMessage settings;
    settings.AddString("Instrument::name", name);
    settings.AddString("port_name", "Internal Synth");
    settings.AddInt32("channel", channel);
    settings.AddInt32("prognum", program);
    settings.AddInt32("syncofs", 0);
    AddInstrument<Instrument>(slot, "Midi")->Open(&settings);
}

void AddLeadSynth(int32 slot) {
    auto* synth = AddInstrument<InstrumentSynth>(slot, "Synth");
    synth->SetName("Lead");
    SynthPatch patch;
    for (int32 i = 0; i < SynthPatch::kNamedPatches; i++) {
        if (std::strcmp(SynthPatch::NameOf(i), "Lead") == 0) patch.SetNamed(i);
    }
    synth->SetPatch(patch);
}

// A struck bar: three inharmonic partials, the higher dying faster, after a 2 ms strike.
// Made here, so the song holds no one else's recording.
std::vector<float> BellTone(int32 rate, int32 frames) {
    constexpr double kHz = 523.2511;  // C5
    constexpr double kPartials[3][3] = {{1.0, 0.6, 2.2}, {3.93, 0.25, 7.0}, {9.6, 0.12, 16.0}};
    std::vector<float> tone(static_cast<size_t>(frames));
    for (int32 f = 0; f < frames; f++) {
        const double t = double(f) / rate;
        double sum = 0;
        for (const auto& [ratio, level, decay] : kPartials)
            sum += level * std::exp(-decay * t) * std::sin(2 * M_PI * kHz * ratio * t);
        tone[size_t(f)] = float(sum * std::min(1.0, t / 0.002));
    }
    return tone;
}

// Writes the bell to a sample file with its root in the instrument chunk, as a user's sample
// arrives, and loads it.
void AddBellSampler(int32 slot) {
    constexpr int32 kRate = 22050;
    const std::vector<float> tone = BellTone(kRate, kRate);
    const fs::path path =
        fs::temp_directory_path() / ("velloran-bell-" + std::to_string(getpid()) + ".wav");
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) Fail("can't write the bell sample to " + path.string());
    SF_INSTRUMENT chunk{};
    chunk.basenote = 72;
    chunk.gain = 1;
    chunk.velocity_hi = chunk.key_hi = 127;
    sf_command(file, SFC_SET_INSTRUMENT, &chunk, sizeof chunk);
    const bool whole =
        sf_writef_float(file, tone.data(), sf_count_t(tone.size())) == sf_count_t(tone.size());
    if (sf_close(file) != 0 || !whole) Fail("can't write the bell sample to " + path.string());
    auto* sampler = AddInstrument<InstrumentSampler>(slot, "Sampler");
    sampler->SetName("Bells");
    const bool loaded = sampler->LoadFile(path.c_str());
    fs::remove(path);
    if (!loaded) Fail("the Sampler can't read the bell sample");
    sampler->SetEnvelopeTimes(32, 22050, 4410);
}

Machine* AddMachine(const char* addon, const char* name, BPoint where) {
    int index = song->AddMachine(addon);
    if (index < 0)
        Fail(std::string("can't create a ") + addon + " machine: is it in add-ons/machines?");
    Machine* machine = song->machines[index];
    if (name != nullptr) machine->SetName(name);
    machine->position = where;
    return machine;
}

void Connect(Machine* from, int32 to) {
    if (from->Connect(to) != 1)
        Fail("can't connect " + from->name + " to machine " + std::to_string(to));
}

PatternTracker* AddTracker(const char* name, rgb_color color, BPoint where) {
    auto* tracker = dynamic_cast<PatternTracker*>(AddMachine("Gridloom", name, where));
    if (tracker == nullptr) Fail("the Gridloom machine is no pattern tracker");
    tracker->color = color;
    tracker->num_measures = kBeatsPerSlot;
    tracker->step_per_measure = kRowsPerBeat;
    return tracker;
}

// The index of the named modifier the page's instrument offers, or -1.
int32 ModifierIndex(const Modifiers& modifiers, const char* name) {
    for (int32 j = 0; modifiers.info != nullptr && j < modifiers.info->count; j++) {
        if (std::strcmp(modifiers.info->info[j].name, name) == 0) return j;
    }
    return -1;
}

// Writes the hits into page number (1-based) of the track: the note and its volume (the MIDI
// instrument's "Volume", the others' "Velocity"), and a MIDI note's modulation wheel at 0 so
// that no note wobbles.
void WritePage(Track* track, int32 number, const Page& hits) {
    TrackPage& page = track->pages[number - 1];
    page.Init();
    Modifiers& modifiers = *page.GetModifiers(0);
    int32 volume = ModifierIndex(modifiers, "Volume");
    if (volume < 0) volume = ModifierIndex(modifiers, "Velocity");
    if (volume < 0) Fail("an instrument has neither a \"Volume\" nor a \"Velocity\" modifier");
    const int32 wheel = ModifierIndex(modifiers, "Controller 1");
    for (int32 j : {volume, wheel}) {
        if (j >= 0 && modifiers.pages[j] == nullptr) modifiers.CreatePage(j);
    }
    for (const Hit& hit : hits) {
        if (hit.row < 0 || hit.row >= 2 * kRowsPerBar) Fail("a note lies outside its page");
        page.setstatus(hit.row, 1);
        page.setnote(hit.row, hit.key);
        modifiers.SetVal(volume, hit.row, hit.volume);
        if (wheel >= 0) modifiers.SetVal(wheel, hit.row, 0.0f);
    }
    track->owner->num_pages = std::max(track->owner->num_pages.load(), number);
}

// A new track of the tracker playing the instrument slot, with its pages (page 1 first).
Track* AddTrack(PatternTracker* tracker, int32 slot, const std::vector<Page>& pages) {
    int index = tracker->AddTrack();
    if (index < 0) Fail("can't add a track to " + tracker->name);
    Track* track = tracker->tracks[index];
    track->SetInstrument(slot);
    for (size_t p = 0; p < pages.size(); p++) WritePage(track, int32(p) + 1, pages[p]);
    return track;
}

void SetSlots(PatternTracker* tracker, const SlotTable& slots) {
    if (slots.size() != size_t(kSlots))
        Fail("a slot table is not " + std::to_string(kSlots) + " slots");
    for (size_t s = 0; s < slots.size(); s++) tracker->status[s] = slots[s];
}

// A controller set the way a song file sets it: its own numbers through Open.
void Configure(Machine* controller, std::initializer_list<std::pair<const char*, int32>> values) {
    BMessage settings;
    settings.AddPoint("Machine::position", controller->position);
    settings.AddString("Machine::name", controller->name);
    for (const auto& [key, value] : values) settings.AddInt32(key, value);
    controller->Open(&settings);
}

void BuildDrums() {
    PatternTracker* drums = AddTracker("Drums", {200, 60, 50, 255}, BPoint(10, 10));
    std::vector<Page> kick, snare, hats;
    for (const DrumPage& page : kDrumPages) {
        kick.push_back(Grid(kKick, page.kick));
        snare.push_back(Grid(kSnare, page.snare));
        hats.push_back(Grid(kClosedHat, page.hats));
    }
    AddTrack(drums, kDrumKit, kick);
    AddTrack(drums, kDrumKit, snare);
    AddTrack(drums, kDrumKit, hats);
    SetSlots(drums, kDrumSlots);
    Connect(drums, 0);
}

void BuildBass() {
    PatternTracker* bass = AddTracker("Bass", {60, 160, 70, 255}, BPoint(10, 60));
    AddTrack(bass, kBassGuitar,
             {BassLine(kFirstHalf, kBassVerse), BassLine(kSecondHalf, kBassVerse),
              BassLine(kSecondHalf, kBassIntro), BassLine(kFinal, kBassLast),
              BassLine(kFirstHalf, kBassChorus), BassLine(kSecondHalf, kBassChorus)});
    SetSlots(bass, kBassSlots);
    Connect(bass, 0);
}

void BuildKeys() {
    PatternTracker* keys = AddTracker("Keys", {20, 119, 175, 255}, BPoint(10, 110));
    for (int voice = 0; voice < 3; voice++) {
        AddTrack(keys, kEPiano,
                 {ChordVoice(voice, kFirstHalf, kArpeggio[voice]),
                  ChordVoice(voice, kSecondHalf, kArpeggio[voice]),
                  ChordVoice(voice, kFirstHalf, kStabs), ChordVoice(voice, kSecondHalf, kStabs),
                  ChordVoice(voice, kFinal, kLastChord[voice])});
    }
    SetSlots(keys, kKeysSlots);
    Connect(keys, 0);
}

// The lead runs through an echo: a dotted eighth at 120, a few repeats, half as loud.
void BuildLead() {
    PatternTracker* lead = AddTracker("Lead", {230, 170, 40, 255}, BPoint(10, 160));
    std::vector<Page> pages;
    for (const Page& page : {kVerseA, kVerseB, kChorusA, kChorusB, kLeadLast})
        pages.push_back(Quieter(page, 0.25f));
    AddTrack(lead, kLeadSynth, pages);
    SetSlots(lead, kLeadSlots);

    auto* echo = dynamic_cast<MachinePlugbay*>(AddMachine("Plugbay", "Echo", BPoint(160, 160)));
    if (echo == nullptr) Fail("the Plugbay machine is no effect pipe");
    if (!echo->pipe.CreateEffect("StereoEcho")) {
        Fail("can't create the StereoEcho plug-in: is add-ons/plugbayplugins/StereoEcho there?");
    }
    Effect* effect = echo->pipe.effects[0];
    effect->SetParamValue(0, 0.375f / 2.0f);  // Delay: 0.375 s of the 2 s range
    effect->SetParamValue(1, 0.35f);          // Feedback
    effect->SetParamValue(2, 0.4f);           // Mix
    Connect(lead, echo->ID);
    Connect(echo, 0);
}

void BuildBells() {
    PatternTracker* bells = AddTracker("Bells", {90, 200, 190, 255}, BPoint(10, 260));
    AddTrack(bells, kBellSampler, {Bells(kFirstHalf), Bells(kSecondHalf)});
    SetSlots(bells, kBellSlots);
    Connect(bells, 0);
}

// An alternative line on the celesta, kept muted: unmute or solo it to hear it.
void BuildCounterLine() {
    PatternTracker* counter = AddTracker("Lead (alt)", {150, 90, 190, 255}, BPoint(10, 210));
    AddTrack(counter, kCelesta, {kCounterA, kCounterB});
    SetSlots(counter, kCounterSlots);
    counter->mute = 1;
    Connect(counter, 0);
}

void BuildControllers() {
    // The verse (measures 16 to 31) twice.
    Configure(AddMachine("Repeat", nullptr, BPoint(310, 10)),
              {{"rep1", kVerseStart}, {"rep2", kChorusStart}, {"reptimes", 2}});
    // The last chorus a little faster.
    Configure(AddMachine("Tempo", nullptr, BPoint(310, 60)),
              {{"pos", kLastChorusStart}, {"tempo", kLastTempo}});
}

void BuildSong() {
    song->New();
    song->title = "Harbour Lights";
    song->details =
        "Velloran demo song, made by velloran-make-demo (examples/make_demo.cpp).\n"
        "A minor, Am-F-C-G. Intro, a verse played twice by the Repeat machine, chorus, "
        "a last chorus at tempo 128 (Tempo machine) and a final chord. The lead plays on the "
        "Synth through a StereoEcho in a Plugbay machine, the bells on the Sampler; "
        "\"Lead (alt)\" is a muted counter-line on the celesta.\nAbout 43 seconds.";
    song->main_tempo = kTempo;
    song->tempo = kTempo;
    song->solo = 0;
    song->solo_machine = 0;
    song->loop = 0;
    song->start_pos = 0;
    song->stop_pos = kSlots * kBeatsPerSlot;
    song->machines[0]->position = BPoint(460, 110);

    AddMidiInstrument(kDrumKit, "Drums", 10, 0);
    AddMidiInstrument(kBassGuitar, "Bass", 2, 33);
    AddMidiInstrument(kEPiano, "E-Piano", 3, 4);
    AddLeadSynth(kLeadSynth);
    AddMidiInstrument(kCelesta, "Celesta", 5, 8);
    AddBellSampler(kBellSampler);

    BuildDrums();
    BuildBass();
    BuildKeys();
    BuildLead();
    BuildCounterLine();
    BuildControllers();
    BuildBells();
}

// Opens the saved file again and checks that it holds the whole song.
void CheckSaved(const std::string& path) {
    const int32 machines = song->num_machines;
    if (song->Open(path.c_str()) != 1) Fail("can't open the saved song " + path);
    if (song->num_machines != machines || song->title != "Harbour Lights") {
        Fail("the saved song " + path + " opens with " + std::to_string(song->num_machines) +
             " machines instead of " + std::to_string(machines));
    }
}

// The rosters list ./add-ons/<kind>: the program works from the folder it lives in.
void EnterProgramFolder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) Fail("can't find the program's own path: " + error.message());
    const fs::path folder = program.parent_path();
    if (chdir(folder.c_str()) != 0) Fail("can't enter " + folder.string());
    if (!fs::is_directory("add-ons"))
        Fail("no add-ons folder beside the program in " + folder.string());
}

void RequireAddOn(const Roster& roster, const char* kind, const char* name) {
    if (roster.Find(name) < 0) {
        Fail(std::string("the add-on ") + name + " is missing from add-ons/" + kind);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: velloran-make-demo OUT.vel\n");
        return 2;
    }
    std::error_code error;
    const std::string out = fs::absolute(argv[1], error).string();
    if (error) Fail(std::string("can't resolve ") + argv[1] + ": " + error.message());

    EnterProgramFolder();
    setenv("VELLORAN_AUDIO", "null", 1);
    SetErrorPresenter(PrintEngineError);
    instrument_roster.Scan("instruments");
    machine_roster.Scan("machines");
    for (const char* name : {"Midi", "Synth", "Sampler"})
        RequireAddOn(instrument_roster, "instruments", name);
    for (const char* name : {"Gridloom", "Plugbay", "Repeat", "Tempo"}) {
        RequireAddOn(machine_roster, "machines", name);
    }
    new Song(PlayerDrive::kCaller);

    BuildSong();
    if (song->Save(out.c_str()) != 1) Fail("can't save the song to " + out);
    CheckSaved(out);
    std::printf("velloran-make-demo: wrote %s (%jd bytes)\n", out.c_str(),
                intmax_t(fs::file_size(out)));
    return 0;
}
