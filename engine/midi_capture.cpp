#include "engine/midi_capture.h"

#include <cmath>
#include <map>

#include "engine/midi_file_writer.h"

// The messages of one output, as the renderer flushes them.
class MidiCapture::Recorder : public BMidi {
  public:
    explicit Recorder(std::string port) : name(std::move(port)) {}

    void NoteOff(uchar channel, uchar note, uchar velocity, uint32 time) override {
        Keep(0x80, channel, {note, velocity}, time);
    }
    void NoteOn(uchar channel, uchar note, uchar velocity, uint32 time) override {
        Keep(0x90, channel, {note, velocity}, time);
    }
    void ControlChange(uchar channel, uchar number, uchar value, uint32 time) override {
        Keep(0xB0, channel, {number, value}, time);
    }
    void ProgramChange(uchar channel, uchar program, uint32 time) override {
        Keep(0xC0, channel, {program}, time);
    }

    struct Sent {
        uint32 time;
        std::vector<uint8_t> bytes;
    };
    const std::string name;
    std::map<int, std::vector<Sent>> channels;  // 1 .. 16

  private:
    void Keep(uint8_t kind, uchar channel, std::vector<uint8_t> data, uint32 time) {
        if (channel < 1 || channel > 16) return;
        data.insert(data.begin(), uint8_t(kind | (channel - 1)));
        channels[channel].push_back({time, std::move(data)});
    }
};

MidiCapture::MidiCapture() = default;
MidiCapture::~MidiCapture() = default;

BMidi* MidiCapture::Port(const std::string& wanted) {
    const std::string name = wanted.empty() ? "Internal Synth" : wanted;
    for (const auto& port : fPorts) {
        if (port->name == name) return port.get();
    }
    fPorts.push_back(std::make_unique<Recorder>(name));
    return fPorts.back().get();
}

void MidiCapture::Step(uint32_t stamp, int32_t nextTempo) {
    if (!fStarted) {
        fStarted = true;
        fStart = stamp;
    }
    // The tempo this step played at was known one step before.
    if (fTempos.empty() || fTempos.back().bpm != fNext) fTempos.push_back({stamp - fStart, fNext});
    fNext = nextTempo;
}

uint64_t MidiCapture::Tick(uint32_t stamp) const {
    const double ms = int32_t(stamp - fStart);
    double ticks = 0;
    for (size_t i = 0; i < fTempos.size(); i++) {
        const double from = fTempos[i].ms;
        if (ms <= from && i > 0) break;
        const double to = i + 1 < fTempos.size() ? std::min<double>(fTempos[i + 1].ms, ms) : ms;
        ticks += std::max(0.0, to - from) * fTempos[i].bpm * kTicksPerQuarter / 60000.0;
    }
    return uint64_t(std::llround(ticks));
}

std::vector<uint8_t> MidiCapture::FileBytes(const std::string& title) const {
    MidiFileWriter file(kTicksPerQuarter);
    file.AddTrack(title);
    for (const Tempo& tempo : fTempos)
        file.Tempo(Tick(fStart + tempo.ms), uint32_t(std::lround(60e6 / tempo.bpm)));
    for (const auto& port : fPorts) {
        for (const auto& [channel, sent] : port->channels) {
            const int32_t track = file.AddTrack(port->name + " channel " + std::to_string(channel));
            for (const Recorder::Sent& message : sent)
                file.Message(track, Tick(message.time), message.bytes);
        }
    }
    return file.Bytes(1);
}
