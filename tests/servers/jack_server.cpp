#include "tests/servers/jack_server.h"

#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/kernel/os.h"

namespace {

namespace fs = std::filesystem;

constexpr int kAnswerTimeoutMs = 5000;
constexpr int kPortTimeoutMs = 3000;
// Longer than any test plays.
constexpr int kRecordSeconds = 30;
constexpr const char* kSharedMemory = "/dev/shm/";
constexpr const char* kRegistry = "jack-shm-registry";
constexpr const char* kDatabase = "jack_db-";
// JACK keeps at most eight servers in its registry and reclaims a dead one's entry only for a
// server of the same name, so the tests take their names from a small pool.
constexpr int kNames = 4;

// Whether a JACK server of anybody's runs on this machine.
bool AnyJackServerRuns() {
    std::error_code failed;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", failed)) {
        std::ifstream comm(entry.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && (name == "jackd" || name == "jackdbus")) return true;
    }
    return false;
}

}  // namespace

JackServer::JackServer(int periodFrames) : fFolder("velloran-jack-"), fPeriodFrames(periodFrames) {}

JackServer::~JackServer() {
    fRecorder.reset();
    fServer.Stop(SIGTERM, 3000);
    RemoveLeftovers();
}

std::vector<std::string> JackServer::Environment() const {
    return {"JACK_DEFAULT_SERVER=" + fName, "JACK_NO_START_SERVER=1"};
}

bool JackServer::Launch(const std::vector<std::string>& options) {
    std::vector<std::string> command = {"jackd", "-n", fName};
    command.insert(command.end(), options.begin(), options.end());
    command.insert(command.end(),
                   {"-d", "dummy", "-r", "44100", "-p", std::to_string(fPeriodFrames)});
    if (!fServer.Start(command, fFolder / "server.log", Environment())) return false;
    const bigtime_t until = system_time() + kAnswerTimeoutMs * 1000;
    while (ChildProcess::Run({"jack_lsp"}, fFolder / "jack_lsp.log", 2000, Environment()) != 0) {
        fServer.Wait(0);
        if (!fServer.Running() || system_time() > until) {
            fServer.Kill();
            return false;
        }
        snooze(20000);
    }
    // A server of the same name that runs already answers too, while this one gives up.
    snooze(50000);
    fServer.Wait(0);
    return fServer.Running();
}

bool JackServer::Start(std::string* error) {
    if (fFolder.Path().empty()) {
        *error = "no temporary folder";
        return false;
    }
    // Servers killed by earlier runs fill the registry with names not of the pool; with no
    // server running anywhere it holds nothing worth keeping.
    if (!LaunchUnderAPoolName() && !AnyJackServerRuns()) {
        std::error_code failed;
        fs::remove(std::string(kSharedMemory) + kRegistry, failed);
        LaunchUnderAPoolName();
    }
    if (!fServer.Running()) {
        *error = "jackd did not start: " + Log();
        return false;
    }
    for (const std::string& variable : Environment()) {
        const size_t equals = variable.find('=');
        setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
    }
    return true;
}

// A name of the pool that no running server has.
bool JackServer::LaunchUnderAPoolName() {
    for (int n = 0; n < kNames; n++) {
        fName = "velloran-test-" + std::to_string(n);
        // Real-time scheduling keeps the periods on time on a busy machine; where it is not
        // allowed (a container without the right), the server runs without it.
        if (Launch({}) || Launch({"--no-realtime"})) return true;
    }
    return false;
}

bool JackServer::StartRecording(std::string* error) {
    fRecorder = std::make_unique<JackRecorder>(kRecordSeconds);
    return fRecorder->Start(fName, error) && fRecorder->Connect("Velloran", kPortTimeoutMs, error);
}

size_t JackServer::FramesRecorded() const {
    return fRecorder != nullptr ? fRecorder->Frames() : 0;
}

std::vector<float> JackServer::StopRecording() {
    return fRecorder != nullptr ? fRecorder->Stop() : std::vector<float>();
}

void JackServer::Kill() {
    fLeftovers = MappedSharedMemory();
    fServer.Kill();
}

std::vector<std::string> JackServer::MappedSharedMemory() const {
    std::ifstream maps("/proc/" + std::to_string(fServer.Pid()) + "/maps");
    std::vector<std::string> files;
    for (std::string line; std::getline(maps, line);) {
        const size_t at = line.find(kSharedMemory);
        if (at == std::string::npos) continue;
        const std::string file = line.substr(at);
        // The registry and the metadata database serve every server of the user.
        if (file.find(kRegistry) != std::string::npos ||
            file.find(kDatabase) != std::string::npos) {
            continue;
        }
        files.push_back(file);
    }
    return files;
}

void JackServer::RemoveLeftovers() const {
    std::error_code failed;
    for (const std::string& file : fLeftovers) fs::remove(file, failed);
    // Its socket and semaphores carry its name.
    for (const fs::directory_entry& entry : fs::directory_iterator(kSharedMemory, failed)) {
        const std::string name = entry.path().filename().string();
        if (name.find("_" + fName + "_") != std::string::npos) fs::remove(entry.path(), failed);
    }
}

std::string JackServer::Log() const {
    std::ifstream in(fFolder / "server.log");
    return {std::istreambuf_iterator<char>(in), {}};
}
