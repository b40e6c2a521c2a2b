// velloran [SONG...]: the composer. Songs named on the command line open once the window is up.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/my_app.h"

namespace {

constexpr const char* kUsage =
    "Usage: velloran [SONG.vel]\n"
    "\n"
    "Velloran, a modular music composer. Opens the song named, or starts with a new one.\n"
    "\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "\n"
    "Environment: VELLORAN_AUDIO (auto, jack, pulse, alsa, null), VELLORAN_BUFFER (64..4096\n"
    "frames), VELLORAN_SOUNDFONT (the internal synthesizer's SoundFont), VELLORAN_VERBOSE.\n"
    "The user manual is documentation/index.htm beside the program (File > Help...).\n";

// 0 when the program should run, else the exit status + 1.
int AnswerOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 1;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("velloran %s\n", VELLORAN_VERSION);
            return 1;
        }
        if (argv[i][0] == '-') {
            std::fprintf(stderr, "velloran: unknown option %s (see --help)\n", argv[i]);
            return 3;
        }
    }
    return 0;
}

// The folder of the program's file, whatever name or link it was started by.
std::string ProgramFolder() {
    char resolved[4096];
    const ssize_t length = readlink("/proc/self/exe", resolved, sizeof(resolved) - 1);
    if (length <= 0) return ".";
    const std::string path(resolved, size_t(length));
    return path.substr(0, path.rfind('/') + 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (const int answered = AnswerOptions(argc, argv)) return answered - 1;
    // Relative song names are the caller's, so they are resolved before the folder changes.
    BApplication::SetArguments(argc, argv);
    if (chdir(ProgramFolder().c_str()) != 0) std::perror("velloran: the program's folder");
    auto* app = new MyApp;
    app->Run();
    // Nothing is torn down: the song, its threads and the add-ons end with the process.
    std::fflush(nullptr);
    _exit(0);
}
