// The one document: machines, instruments, settings and the play position.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "engine/instrument.h"
#include "engine/load_report.h"
#include "engine/machine.h"
#include "engine/player.h"
#include "engine/song_snapshot.h"
#include "platform/kernel/locker.h"

class Song {
  public:
    static constexpr int32 kInstrumentSlots = 128;
    static constexpr int32 kMachineSlots = 512;
    static constexpr int32 kMinTempo = 40;
    static constexpr int32 kMaxTempo = 300;
    // The measure after the last one a slot table reaches: 512 slots of at most 8 measures.
    // Positions from files and windows are kept to 0 .. kLastPosition.
    static constexpr int32 kLastPosition = 512 * 8;

    // Application thread, once: starts the player and MIDI.
    explicit Song(PlayerDrive drive = PlayerDrive::kRealTime);
    ~Song();
    Song(const Song&) = delete;
    Song& operator=(const Song&) = delete;

    // Window thread. Stops playback and clears the song down to its master.
    void New();
    // Window thread or the song loader. Index of the new machine, or -1 when none was made.
    int AddMachine(const char* name);
    // Window thread or the song loader. A new machine of the roster entry name, outside the
    // song; null when none can be made.
    static Machine* MakeMachine(const char* name);
    // Window thread. Deletes machine id and renumbers the later ones.
    void RemoveMachine(int id);
    // Window thread.
    void Play();
    void Stop();
    // Window thread or the renderer, while stopped: each controller opened again from what it
    // saves, so that a play from the start finds it as saved, not where a play left it.
    void ResetControllers();
    // Player thread. Renders one step into the half being filled.
    void Process();
    // Window thread. 1 when written; on failure the file on disk is left as it was.
    int Save(const char* path);
    // Window thread. The bytes Save writes; empty when the song cannot be flattened.
    std::vector<char> FileBytes();
    // Window thread. 1 when opened; on failure the song is left as it was.
    int Open(const char* path);
    // Window thread. The song's own settings: the first fields of its file.
    void SaveSettings(BMessage* file);
    // Window thread. Puts instrument (or none) into slot and frees the one it replaces once
    // neither a step nor the preview can be playing it.
    void PutInstrument(int32 slot, Instrument* instrument);
    // Window thread, playing or not. Makes the song what target holds, live being what it
    // holds now: only the parts that differ are opened again, in place, so windows stay open;
    // machines and instruments live lacks are made, those target lacks are removed.
    void Restore(const SongSnapshot& target, const SongSnapshot& live);

    // Any thread. Machine id, or null when there is none.
    Machine* MachineAt(int32 id) const;

    std::string title;
    std::string details;
    bool show_details_window = false;
    // The sound thread reads a slot for the preview while window threads change it.
    std::atomic<Instrument*> instruments[kInstrumentSlots] = {};
    Machine* machines[kMachineSlots] = {};
    std::atomic<int32> is_playing{0};
    // Settings that window threads change while a step reads them.
    std::atomic<int32> solo{0};
    std::atomic<int32> solo_machine{0};
    std::atomic<int32> loop{0};
    std::atomic<int32> start_pos{0};
    std::atomic<int32> stop_pos{16};
    std::atomic<int32> main_tempo{120};
    std::atomic<int32> tempo{120};
    std::atomic<int32> position{0};
    std::atomic<int32> step{0};
    int32 next_position = 0;
    int32 next_tempo = 0;
    int32 num_machines = 1;

  private:
    void Clear();
    void Settle(int32 removed);
    void CallControllers();
    // Pulls the step of length frames through the graph into the half being filled.
    void RenderMaster(int32 length);
    void Load(const BMessage& file, const char* path);
    void OpenSettings(const BMessage& file);
    void RestoreInstruments(const SongSnapshot& target, const SongSnapshot& live,
                            std::vector<Addon*>* reopened);
    void RestoreMachines(const SongSnapshot& target, const SongSnapshot& live,
                         std::vector<Addon*>* reopened);
    void LoadInstruments(const BMessage& file, LoadReport* report);
    // The new index of every saved machine, -1 for one that could not be made.
    std::vector<int32> LoadMachines(const BMessage& file, const char* countKey,
                                    const char* machineKey, const char* nameKey,
                                    LoadReport* report);
    void SaveInto(BMessage* file);
};

// Any thread. The bytes of a song file holding the message: its length, then the message
// flattened; empty when it cannot be flattened.
std::vector<char> SongFileBytes(const BMessage& file);

// The one song and its lock, which serialises a step against clearing, loading and edits of
// the graph. The lock is recursive.
extern Song* song;
extern BLocker* lock;
