#include "tests/servers/pulse_server.h"

#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/kernel/os.h"

namespace {

constexpr int kAnswerTimeoutMs = 5000;
constexpr int kRecorderTimeoutMs = 3000;

std::vector<float> ReadFloats(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamsize bytes = in.tellg();
    std::vector<float> samples(bytes > 0 ? size_t(bytes) / sizeof(float) / 2 * 2 : 0);
    in.seekg(0);
    in.read(reinterpret_cast<char*>(samples.data()), std::streamsize(samples.size() * 4));
    return samples;
}

bool Fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
}

}  // namespace

PulseServer::PulseServer() : fFolder("velloran-pulse-") {}

PulseServer::~PulseServer() {
    fRecorder.Stop(SIGINT, 2000);
    fServer.Stop(SIGTERM, 3000);
}

std::vector<std::string> PulseServer::Environment() const {
    const std::string& home = fFolder.Path();
    // A bus address that does not exist: the server must not join the session's D-Bus.
    return {"HOME=" + home,
            "XDG_RUNTIME_DIR=" + home,
            "XDG_CONFIG_HOME=" + fFolder / "config",
            "PULSE_RUNTIME_PATH=" + home,
            "PULSE_STATE_PATH=" + fFolder / "state",
            "PULSE_CONFIG=" + fFolder / "daemon.conf",
            "PULSE_CLIENTCONFIG=" + fFolder / "client.conf",
            "PULSE_COOKIE=" + fFolder / "cookie",
            "DBUS_SESSION_BUS_ADDRESS=unix:path=" + fFolder / "no-bus",
            "DISPLAY="};
}

// Our own, so that nothing from the machine's /etc/pulse or the user's folder applies.
bool PulseServer::WriteConfigurations() const {
    std::ofstream daemon(fFolder / "daemon.conf");
    daemon << "# Defaults only; the command line says the rest.\n";
    std::ofstream client(fFolder / "client.conf");
    client << "autospawn = no\n";
    return daemon.good() && client.good();
}

int PulseServer::Control(const std::vector<std::string>& arguments) {
    std::vector<std::string> command = {"pactl", "-s", Address()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return ChildProcess::Run(command, fFolder / "pactl.log", 2000, Environment());
}

bool PulseServer::Start(std::string* error) {
    if (fFolder.Path().empty()) return Fail(error, "no temporary folder");
    if (!WriteConfigurations()) return Fail(error, "can't write to " + fFolder.Path());
    const std::vector<std::string> command = {
        "pulseaudio",
        "--daemonize=no",
        "--exit-idle-time=-1",
        "--disallow-exit",
        "-n",
        "--use-pid-file=no",
        "--log-target=stderr",
        "-L",
        std::string("module-null-sink sink_name=") + kSink +
            " rate=44100 channels=2 format=float32le",
        "-L",
        "module-native-protocol-unix auth-anonymous=1 socket=" + fFolder / "native"};
    if (!fServer.Start(command, fFolder / "server.log", Environment())) {
        return Fail(error, "can't run pulseaudio");
    }
    if (!WaitUntilAnswering(error)) return false;
    if (Control({"set-default-sink", kSink}) != 0) return Fail(error, "no sink " + Log());
    setenv("PULSE_SERVER", Address().c_str(), 1);
    setenv("PULSE_CLIENTCONFIG", (fFolder / "client.conf").c_str(), 1);
    setenv("PULSE_COOKIE", (fFolder / "cookie").c_str(), 1);
    return true;
}

bool PulseServer::WaitUntilAnswering(std::string* error) {
    const bigtime_t until = system_time() + kAnswerTimeoutMs * 1000;
    while (Control({"info"}) != 0) {
        fServer.Wait(0);
        if (!fServer.Running()) return Fail(error, "pulseaudio ended: " + Log());
        if (system_time() > until) return Fail(error, "pulseaudio does not answer: " + Log());
        snooze(20000);
    }
    return true;
}

bool PulseServer::StartRecording(std::string* error) {
    const std::string file = fFolder / "monitor.raw";
    const std::vector<std::string> command = {"parec",
                                              "-s",
                                              Address(),
                                              "-d",
                                              std::string(kSink) + ".monitor",
                                              "--raw",
                                              "--format=float32le",
                                              "--rate=44100",
                                              "--channels=2",
                                              "--latency-msec=20",
                                              file};
    if (!fRecorder.Start(command, fFolder / "parec.log", Environment())) {
        return Fail(error, "can't run parec");
    }
    // The null sink plays silence while nobody plays to it, so a running recorder writes.
    const bigtime_t until = system_time() + kRecorderTimeoutMs * 1000;
    std::error_code missing;
    while (std::filesystem::file_size(file, missing) == 0 || missing) {
        if (system_time() > until) return Fail(error, "parec records nothing");
        snooze(10000);
    }
    return true;
}

size_t PulseServer::FramesRecorded() const {
    std::error_code missing;
    const auto bytes = std::filesystem::file_size(fFolder / "monitor.raw", missing);
    return missing ? 0 : size_t(bytes) / (2 * sizeof(float));
}

std::string PulseServer::SinkInputs() {
    Control({"list", "sink-inputs"});
    std::ifstream in(fFolder / "pactl.log");
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<float> PulseServer::StopRecording() {
    fRecorder.Stop(SIGINT, 2000);
    return ReadFloats(fFolder / "monitor.raw");
}

void PulseServer::Kill() {
    fServer.Kill();
}

std::string PulseServer::Log() const {
    std::ifstream in(fFolder / "server.log");
    return {std::istreambuf_iterator<char>(in), {}};
}
