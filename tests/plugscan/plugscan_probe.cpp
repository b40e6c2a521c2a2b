// plugscan_probe BUILD_ROOT: makes a pipe machine as the program does, which lists the
// plug-ins, and prints the names the pipe offers, one per line.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "addons/Plugbay/effect_roster.h"
#include "engine/rosters.h"
#include "engine/song.h"

int main(int argc, char** argv) {
    if (argc != 2 || chdir(argv[1]) != 0) return 2;
    setenv("VELLORAN_AUDIO", "null", 1);
    machine_roster.Scan("machines");
    new Song(PlayerDrive::kOffline);
    if (song->AddMachine("Plugbay") < 0) return 3;
    for (int32 i = 0; i < effect_roster.count; i++)
        std::printf("%s\n", effect_roster.names[i].c_str());
    std::fflush(stdout);
    _exit(0);
}
