#include "addons/Synth/instrument_synth_window.h"

#include <algorithm>
#include <cmath>

#include "addons/Synth/instrument_synth.h"
#include "addons/Synth/synth_wave_bank.h"
#include "platform/interface/menu.h"
#include "platform/interface/menu_field.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/slider.h"
#include "platform/storage/image_path.h"
#include "platform/storage/resources.h"

namespace {

constexpr type_code kLayoutType = four_cc("ARCV");
constexpr const char* kWaveNames[SynthWaveBank::kWaves] = {"Saw", "Square", "Triangle", "Sine"};
// The cutoff slider's steps span the filter's range in equal ratios.
constexpr float kCutoffSteps = 1000.0f;

template <class View>
View* Find(BWindow* window, const char* name) {
    return dynamic_cast<View*>(window->FindView(name));
}

void Fill(BMenuField* field, uint32 command, const char* const* labels, int32 count) {
    for (int32 i = 0; i < count; i++) {
        auto* message = new BMessage(command);
        message->AddInt32("nr", i);
        field->Menu()->AddItem(new BMenuItem(labels[i], message));
    }
}

void Mark(BMenuField* field, int32 index) {
    BMenu* menu = field->Menu();
    for (int32 i = 0; i < menu->CountItems(); i++) menu->ItemAt(i)->SetMarked(i == index);
    field->MenuItem()->SetLabel(index >= 0 ? menu->ItemAt(index)->Label() : "");
    menu->ItemChanged();
}

float CutoffOf(int32 step) {
    const float ratio = SynthPatch::kMaxCutoff / SynthPatch::kMinCutoff;
    return std::clamp(SynthPatch::kMinCutoff * std::pow(ratio, float(step) / kCutoffSteps),
                      SynthPatch::kMinCutoff, SynthPatch::kMaxCutoff);
}

int32 StepOf(float cutoff) {
    const float ratio = SynthPatch::kMaxCutoff / SynthPatch::kMinCutoff;
    return int32(
        std::lround(kCutoffSteps * std::log(cutoff / SynthPatch::kMinCutoff) / std::log(ratio)));
}

}  // namespace

InstrumentSynthWindow::InstrumentSynthWindow(InstrumentSynth* instrument, BResources* resources)
    : IEWindow(kLayout, resources), fInstrument(instrument) {
    Lock();
    fPatchField = Find<BMenuField>(this, "mnuPatch");
    fWaveFields[0] = Find<BMenuField>(this, "mnuWave1");
    fWaveFields[1] = Find<BMenuField>(this, "mnuWave2");
    fDetune = Find<BSlider>(this, "sldDetune");
    fCutoff = Find<BSlider>(this, "sldCutoff");
    fResonance = Find<BSlider>(this, "sldResonance");
    fEnvAmount = Find<BSlider>(this, "sldEnvAmount");
    const char* names[SynthPatch::kNamedPatches];
    for (int32 i = 0; i < SynthPatch::kNamedPatches; i++) names[i] = SynthPatch::NameOf(i);
    Fill(fPatchField, kPatch, names, SynthPatch::kNamedPatches);
    Fill(fWaveFields[0], kWave1, kWaveNames, SynthWaveBank::kWaves);
    Fill(fWaveFields[1], kWave2, kWaveNames, SynthWaveBank::kWaves);
    Unlock();
    Show();
}

void InstrumentSynthWindow::Edit(InstrumentSynth* instrument) {
    Lock();
    fInstrument = instrument;
    Show();
    Unlock();
}

void InstrumentSynthWindow::Refresh(InstrumentSynth* instrument) {
    Lock();
    if (fInstrument == instrument && !IsHidden()) ShowValues();
    Unlock();
}

void InstrumentSynthWindow::Forget(InstrumentSynth* instrument) {
    Lock();
    if (fInstrument == instrument) {
        fInstrument = nullptr;
        if (!IsHidden()) Hide();
    }
    Unlock();
}

void InstrumentSynthWindow::Show() {
    Lock();
    if (IsHidden()) IEWindow::Show();
    if (fInstrument != nullptr) ShowValues();
    Unlock();
}

void InstrumentSynthWindow::ShowValues() {
    const SynthPatch& patch = fInstrument->Patch();
    for (int32 i = 0; i < SynthPatch::kOscillators; i++) Mark(fWaveFields[i], patch.osc[i].wave);
    fDetune->SetValue(int32(std::lround(patch.osc[1].detune)));
    fCutoff->SetValue(StepOf(patch.cutoff));
    fResonance->SetValue(int32(std::lround(patch.resonance * 100.0f)));
    fEnvAmount->SetValue(int32(std::lround(patch.envAmount * 100.0f)));
}

void InstrumentSynthWindow::MessageReceived(BMessage* message) {
    switch (message->what) {
        case kPatch:
        case kWave1:
        case kWave2:
        case kDetune:
        case kCutoff:
        case kResonance:
        case kEnvAmount:
            if (fInstrument == nullptr) return;
            Change(message);
            ShowValues();
            return;
        default:
            IEWindow::MessageReceived(message);
    }
}

void InstrumentSynthWindow::Change(BMessage* message) {
    int32 nr = 0;
    if (message->FindInt32("nr", &nr) != B_OK) message->FindInt32("be:value", &nr);
    fEdited.CopyFrom(fInstrument->Patch());
    const int32 wave = std::clamp(nr, int32(0), SynthWaveBank::kWaves - 1);
    switch (message->what) {
        case kPatch:
            fEdited.SetNamed(nr);
            Mark(fPatchField, nr >= 0 && nr < SynthPatch::kNamedPatches ? nr : -1);
            break;
        case kWave1:
            fEdited.osc[0].wave = wave;
            break;
        case kWave2:
            fEdited.osc[1].wave = wave;
            break;
        case kDetune:
            fEdited.osc[1].detune =
                std::clamp(float(nr), -SynthPatch::kMaxDetune, SynthPatch::kMaxDetune);
            break;
        case kCutoff:
            fEdited.cutoff = CutoffOf(std::clamp(nr, int32(0), int32(kCutoffSteps)));
            break;
        case kResonance:
            fEdited.resonance = std::clamp(float(nr) / 100.0f, 0.0f, 1.0f);
            break;
        default:
            fEdited.envAmount = std::clamp(float(nr) / 100.0f, -SynthPatch::kMaxEnvAmount,
                                           SynthPatch::kMaxEnvAmount);
    }
    fInstrument->SetPatch(fEdited);
}

bool InstrumentSynthWindow::QuitRequested() {
    Hide();
    return false;
}

InstrumentSynthWindow* CreateSynthWindow(InstrumentSynth* instrument) {
    // The add-on's own file, wherever it was loaded from: kWaveNames lies in its image.
    BPath path;
    BResources resources;
    if (get_image_path(kWaveNames, &path) != B_OK || resources.SetTo(path.Path()) != B_OK ||
        !resources.HasResource(kLayoutType, InstrumentSynthWindow::kLayout)) {
        return nullptr;
    }
    return new InstrumentSynthWindow(instrument, &resources);
}
