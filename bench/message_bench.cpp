// Flatten and unflatten of a song-shaped message of about 10 MB, beside memcpy of its bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "message/message.h"

namespace {

constexpr int kMachines = 64;
constexpr int kPagesPerMachine = 160;

BMessage MakeSong() {
    std::vector<int32> notes(256);
    for (size_t i = 0; i < notes.size(); i++) notes[i] = int32(i % 97);
    BMessage song('SONG');
    song.AddInt32("Song::tempo", 120);
    song.AddString("Song::name", "Benchmark song with a name of some length");
    for (int m = 0; m < kMachines; m++) {
        BMessage machine('MACH');
        machine.AddString("Machine::name", "Gridloom");
        machine.AddInt32("Machine::position", m);
        machine.AddFloat("Machine::volume", 0.8f);
        for (int p = 0; p < kPagesPerMachine; p++) {
            BMessage page('PAGE');
            page.AddInt32("rows", 16);
            page.AddData("notes", B_INT32_TYPE, notes.data(), ssize_t(notes.size() * 4));
            page.AddString("name", "page");
            machine.AddMessage("page", &page);
        }
        song.AddMessage("machine", &machine);
    }
    return song;
}

struct Fixture {
    BMessage song = MakeSong();
    std::vector<char> bytes = Flatten(song);

    static std::vector<char> Flatten(const BMessage& m) {
        std::vector<char> out(size_t(m.FlattenedSize()));
        m.Flatten(out.data(), ssize_t(out.size()));
        return out;
    }
};

Fixture& Song() {
    static Fixture fixture;
    return fixture;
}

void Memcpy(benchmark::State& state) {
    auto& f = Song();
    std::vector<char> out(f.bytes.size());
    for (auto _ : state) {
        std::memcpy(out.data(), f.bytes.data(), f.bytes.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.bytes.size()));
}

void Flatten(benchmark::State& state) {
    auto& f = Song();
    std::vector<char> out(f.bytes.size());
    for (auto _ : state) {
        f.song.Flatten(out.data(), ssize_t(out.size()));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.bytes.size()));
}

void Unflatten(benchmark::State& state) {
    auto& f = Song();
    for (auto _ : state) {
        BMessage m;
        m.Unflatten(f.bytes.data(), ssize_t(f.bytes.size()));
        benchmark::DoNotOptimize(m);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.bytes.size()));
}

// What loading a song does: unflatten, then take out every machine, page and note array.
void UnflattenAndReadEverything(benchmark::State& state) {
    auto& f = Song();
    for (auto _ : state) {
        BMessage m;
        m.Unflatten(f.bytes.data(), ssize_t(f.bytes.size()));
        BMessage machine, page;
        for (int32 i = 0; m.FindMessage("machine", i, &machine) == B_OK; i++) {
            for (int32 p = 0; machine.FindMessage("page", p, &page) == B_OK; p++) {
                const void* data;
                ssize_t size;
                page.FindData("notes", B_INT32_TYPE, &data, &size);
                benchmark::DoNotOptimize(data);
            }
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.bytes.size()));
}

}  // namespace

BENCHMARK(Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(Flatten)->Unit(benchmark::kMillisecond);
BENCHMARK(Unflatten)->Unit(benchmark::kMillisecond);
BENCHMARK(UnflattenAndReadEverything)->Unit(benchmark::kMillisecond);
