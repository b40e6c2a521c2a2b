#include "platform/media/jack_server_probe.h"

#include <jack/jack.h>

namespace {

// libjack prints a few lines for every client that finds no server; our own line says what
// was tried.
void Quiet(const char*) {}

}  // namespace

bool JackServerProbe::Running() {
    static const bool quiet = [] {
        jack_set_error_function(Quiet);
        jack_set_info_function(Quiet);
        return true;
    }();
    (void)quiet;
    jack_status_t status;
    jack_client_t* client = jack_client_open("Velloran probe", JackNoStartServer, &status);
    if (client == nullptr) return false;
    jack_client_close(client);
    return true;
}
