#include "addons/Sampler/instrument_sampler_window.h"

#include <cstdio>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "addons/Sampler/instrument_sampler.h"
#include "platform/interface/file_panel.h"
#include "platform/interface/string_view.h"
#include "platform/interface/text_control.h"
#include "platform/storage/image_path.h"
#include "platform/storage/resources.h"

namespace {

constexpr type_code kLayoutType = four_cc("ARCV");
// The envelope is shown in milliseconds, kept in frames.
constexpr float kFramesPerMs = 44.1f;

template <class View>
View* Find(BWindow* window, const char* name) {
    return dynamic_cast<View*>(window->FindView(name));
}

void SetNumber(BTextControl* field, long long value) {
    field->SetText(std::to_string(value).c_str());
}

std::string Describe(const InstrumentSampler::Settings& now) {
    if (now.frames == 0) return "No sample";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f s, %d Hz, %s", double(now.frames) / now.rate,
                  int(now.rate), now.channels == 2 ? "stereo" : "mono");
    return text;
}

}  // namespace

InstrumentSamplerWindow::InstrumentSamplerWindow(InstrumentSampler* instrument,
                                                 BResources* resources)
    : IEWindow(kLayout, resources), fInstrument(instrument) {
    Lock();
    fSampleInfo = Find<BStringView>(this, "lblSample");
    fRoot = Find<BTextControl>(this, "txtRoot");
    fLoopStart = Find<BTextControl>(this, "txtLoopStart");
    fLoopEnd = Find<BTextControl>(this, "txtLoopEnd");
    fAttack = Find<BTextControl>(this, "txtAttack");
    fHold = Find<BTextControl>(this, "txtHold");
    fRelease = Find<BTextControl>(this, "txtRelease");
    Unlock();
    BMessenger self(this);
    fPanel = std::make_unique<BFilePanel>(B_OPEN_PANEL, &self, nullptr, 0, false,
                                          new BMessage(kFileChosen));
    Edit(instrument);
}

InstrumentSamplerWindow::~InstrumentSamplerWindow() = default;

void InstrumentSamplerWindow::Edit(InstrumentSampler* instrument) {
    Lock();
    fInstrument = instrument;
    if (IsHidden()) IEWindow::Show();
    ShowValues();
    Unlock();
}

void InstrumentSamplerWindow::Refresh(InstrumentSampler* instrument) {
    Lock();
    if (fInstrument == instrument && !IsHidden()) ShowValues();
    Unlock();
}

void InstrumentSamplerWindow::Forget(InstrumentSampler* instrument) {
    Lock();
    if (fInstrument == instrument) {
        fInstrument = nullptr;
        if (!IsHidden()) Hide();
    }
    Unlock();
}

void InstrumentSamplerWindow::ShowValues() {
    if (fInstrument == nullptr) return;
    const InstrumentSampler::Settings now = fInstrument->Current();
    fSampleInfo->SetText(Describe(now).c_str());
    SetNumber(fRoot, now.root);
    SetNumber(fLoopStart, now.loop_start);
    SetNumber(fLoopEnd, now.loop_end);
    SetNumber(fAttack, std::lround(now.attack / kFramesPerMs));
    SetNumber(fHold, std::lround(now.hold / kFramesPerMs));
    SetNumber(fRelease, std::lround(now.release / kFramesPerMs));
}

// Leading sign and digits as atoi reads them, held to what an int32 holds.
int32 InstrumentSamplerWindow::Number(BTextControl* field) const {
    return int32(
        std::clamp<long long>(std::strtoll(field->Text(), nullptr, 10), INT32_MIN, INT32_MAX));
}

void InstrumentSamplerWindow::LoadChosen(BMessage* message) {
    entry_ref ref;
    if (message->FindRef("refs", &ref) == B_OK) fInstrument->LoadFile(ref.path.c_str());
}

// An end of 0 after a start is the sample's end, so a loop can be typed start first.
void InstrumentSamplerWindow::CommitLoop() {
    const int32 start = Number(fLoopStart);
    const int32 end = Number(fLoopEnd);
    fInstrument->SetLoop(start, end == 0 && start > 0 ? INT32_MAX : end);
}

void InstrumentSamplerWindow::CommitEnvelope() {
    fInstrument->SetEnvelopeTimes(float(Number(fAttack)) * kFramesPerMs,
                                  float(Number(fHold)) * kFramesPerMs,
                                  float(Number(fRelease)) * kFramesPerMs);
}

void InstrumentSamplerWindow::MessageReceived(BMessage* message) {
    if (fInstrument == nullptr) {
        IEWindow::MessageReceived(message);
        return;
    }
    switch (message->what) {
        case kLoad:
            fPanel->Show();
            return;
        case kFileChosen:
            LoadChosen(message);
            break;
        case kRoot:
            fInstrument->SetRoot(Number(fRoot));
            break;
        case kLoop:
            CommitLoop();
            break;
        case kEnvelope:
            CommitEnvelope();
            break;
        default:
            IEWindow::MessageReceived(message);
            return;
    }
    ShowValues();
}

bool InstrumentSamplerWindow::QuitRequested() {
    Hide();
    return false;
}

InstrumentSamplerWindow* CreateSamplerWindow(InstrumentSampler* instrument) {
    // The add-on's own file, wherever it was loaded from: kFramesPerMs lies in its image.
    BPath path;
    BResources resources;
    if (get_image_path(&kFramesPerMs, &path) != B_OK || resources.SetTo(path.Path()) != B_OK ||
        !resources.HasResource(kLayoutType, InstrumentSamplerWindow::kLayout)) {
        return nullptr;
    }
    return new InstrumentSamplerWindow(instrument, &resources);
}
