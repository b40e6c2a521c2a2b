// A Synth instrument made by the real add-on, and notes rendered through it the way the
// tracker renders them: sub-block by sub-block, the note's time advancing by each.
#pragma once

#include <vector>

#include "addons/Synth/instrument_synth.h"
#include "engine/modifiers.h"
#include "engine/rosters.h"
#include "tests/engine/engine_environment.h"

class SynthTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        synth = Create(0);
        ASSERT_NE(synth, nullptr);
        modifiers = std::make_unique<Modifiers>(synth->GetModifierInfoList(), 1);
    }

    static InstrumentSynth* Create(int32 slot) {
        auto* made = dynamic_cast<InstrumentSynth*>(instrument_roster.Create("Synth"));
        delete song->instruments[slot].exchange(made);
        return made;
    }

    // One sine at full level through an open filter, held for ever after its first frame.
    static void PureTone(SynthPatch* patch) {
        patch->osc[0] = {SynthWaveBank::kSine, 1.0f, 0.0f, 0.5f};
        patch->osc[1].level = 0.0f;
        patch->noise = 0.0f;
        patch->cutoff = SynthPatch::kMaxCutoff;
        patch->resonance = 0.0f;
        patch->envAmount = 0.0f;
        SetEnvelope(&patch->amp, {{0, 1}});
    }

    static void SetEnvelope(KeyVal* envelope, std::initializer_list<BPoint> points) {
        envelope->num_points = 0;
        for (const BPoint& p : points) envelope->points[envelope->num_points++] = p;
    }

    // Starts key on note: the next Render begins it.
    void Begin(NoteInfo* note, int32 key) {
        note->note = key;
        note->sounding = 1;
        note->modifiers = modifiers.get();
        note->time = 0;
    }

    // frames of the note added to what the buffers hold from at on, in sub-blocks of block
    // frames.
    void Render(NoteInfo* note, std::vector<float>* left, std::vector<float>* right, int32 at,
                int32 frames, int32 block = 100) {
        for (int32 done = 0; done < frames; done += block) {
            const int32 n = std::min(block, frames - done);
            note->offset = done;
            synth->Process(left->data() + at + done, right->data() + at + done, n, note);
            note->time += float(n);
        }
    }

    // A note of key alone, frames long, from a fresh NoteInfo.
    std::vector<float> Play(int32 key, int32 frames, int32 block = 100) {
        std::vector<float> out(size_t(frames), 0.0f), right(out.size(), 0.0f);
        NoteInfo note;
        Begin(&note, key);
        Render(&note, &out, &right, 0, frames, block);
        return out;
    }

    InstrumentSynth* synth = nullptr;
    std::unique_ptr<Modifiers> modifiers;
};
