#include "tests/servers/jack_recorder.h"

#include <algorithm>

#include "platform/kernel/os.h"

JackRecorder::JackRecorder(int seconds) : fSamples(size_t(seconds) * 44100 * 2) {}

JackRecorder::~JackRecorder() {
    Stop();
}

bool JackRecorder::Start(const std::string& server, std::string* error) {
    jack_status_t status;
    const auto options = jack_options_t(JackNoStartServer | JackServerName | JackUseExactName);
    fClient = jack_client_open("velloran-recorder", options, &status, server.c_str());
    if (fClient == nullptr) {
        *error = "can't join JACK server " + server + ", status " + std::to_string(status);
        return false;
    }
    for (int channel = 0; channel < 2; channel++) {
        const std::string name = "in_" + std::to_string(channel + 1);
        fInputs[channel] =
            jack_port_register(fClient, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    }
    const bool ready = fInputs[0] != nullptr && fInputs[1] != nullptr &&
                       jack_set_process_callback(fClient, Process, this) == 0 &&
                       jack_get_sample_rate(fClient) == 44100 && jack_activate(fClient) == 0;
    if (!ready) *error = "can't record on JACK server " + server;
    return ready;
}

bool JackRecorder::ConnectPort(const std::string& from, jack_port_t* to) {
    return jack_connect(fClient, from.c_str(), jack_port_name(to)) == 0;
}

bool JackRecorder::Connect(const std::string& client, int timeoutMs, std::string* error) {
    const bigtime_t until = system_time() + bigtime_t(timeoutMs) * 1000;
    for (int channel = 0; channel < 2; channel++) {
        const std::string port = client + ":outport " + std::to_string(channel);
        while (jack_port_by_name(fClient, port.c_str()) == nullptr) {
            if (system_time() > until) {
                *error = "no JACK port " + port;
                return false;
            }
            snooze(10000);
        }
        if (!ConnectPort(port, fInputs[channel])) {
            *error = "can't connect " + port;
            return false;
        }
    }
    return true;
}

std::vector<float> JackRecorder::Stop() {
    if (fClient == nullptr) return {};
    jack_deactivate(fClient);
    jack_client_close(fClient);
    fClient = nullptr;
    return {fSamples.begin(), fSamples.begin() + std::ptrdiff_t(fFrames.load() * 2)};
}

int JackRecorder::Process(jack_nframes_t frames, void* data) {
    auto* self = static_cast<JackRecorder*>(data);
    const size_t done = self->fFrames.load(std::memory_order_relaxed);
    const size_t taken = std::min(size_t(frames), self->fSamples.size() / 2 - done);
    const auto* left = static_cast<const float*>(jack_port_get_buffer(self->fInputs[0], frames));
    const auto* right = static_cast<const float*>(jack_port_get_buffer(self->fInputs[1], frames));
    float* out = self->fSamples.data() + 2 * done;
    for (size_t f = 0; f < taken; f++) {
        out[2 * f] = left[f];
        out[2 * f + 1] = right[f];
    }
    self->fFrames.store(done + taken, std::memory_order_release);
    return 0;
}
