// velloran-render: a song to a WAV file, offline, through the same rosters, song loader and
// song steps as the program's playback.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/rosters.h"
#include "engine/show_error.h"
#include "engine/song.h"
#include "platform/kernel/os.h"
#include "platform/storage/node.h"
#include "platform/storage/node_info.h"
#include "tools/render/progress_bar.h"
#include "tools/render/render_options.h"

namespace {

namespace fs = std::filesystem;

int errorsShown = 0;

void PrintError(const char* text) {
    errorsShown++;
    std::fprintf(stderr, "Error: %s\n", text);
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "velloran-render: %s\n", text.c_str());
    return 1;
}

// Paths from the command line are the user's, taken before moving to the program's folder.
void ResolvePaths(RenderOptions* options) {
    options->song = fs::absolute(options->song).string();
    for (std::string* path : {&options->output.output, &options->output.midi}) {
        if (!path->empty()) *path = fs::absolute(*path).string();
    }
    if (!options->output.stems.empty()) {
        options->output.stems = fs::absolute(options->output.stems).string();
    }
}

// The add-ons sit beside the program, as installed.
bool MoveToProgramFolder() {
    std::error_code failed;
    const fs::path program = fs::read_symlink("/proc/self/exe", failed);
    return !failed && chdir(program.parent_path().c_str()) == 0;
}

// A song file opens as saved; any other file through the importer that reads its type.
bool OpenSong(const std::string& path) {
    errorsShown = 0;
    BNode node(path.c_str());
    std::string type;
    if (node.InitCheck() == B_OK && BNodeInfo(&node).GetType(&type) == B_OK &&
        type != "audio/VelloranFile") {
        // Only other files need the importers, and only they miss their folder.
        if (importer_roster.count == 0) importer_roster.Scan("importers");
        std::unique_ptr<Importer> importer = PreparedImporter(path.c_str(), type.c_str());
        if (importer == nullptr) return false;
        song->New();
        importer->Open(path.c_str());
        return errorsShown == 0;
    }
    return song->Open(path.c_str()) == 1 && errorsShown == 0;
}

bool MakeStemFolder(const std::string& folder, std::string* error) {
    std::error_code failed;
    fs::create_directories(folder, failed);
    if (failed) *error = "Can't make the folder " + folder + ": " + failed.message();
    return !failed;
}

void Report(const RenderOptions& options, const SongExport& job, int64 frames, bigtime_t took) {
    const double seconds = double(frames) / 44100.0;
    const double spent = double(took) / 1e6;
    if (!options.output.output.empty()) {
        std::printf("Wrote %s: %.1f s, 44100 Hz stereo, %s, rendered in %.2f s (%.0fx real time)\n",
                    options.output.output.c_str(), seconds,
                    options.output.floatSamples ? "32-bit float" : "16-bit PCM", spent,
                    spent > 0 ? seconds / spent : 0.0);
    }
    if (!options.output.midi.empty()) std::printf("Wrote %s\n", options.output.midi.c_str());
    for (const std::string& stem : job.Stems()) std::printf("Stem %s\n", stem.c_str());
    if (job.NonFinite() > 0) {
        std::fprintf(stderr,
                     "velloran-render: %lld samples were not finite (NaN or infinite) and were "
                     "written as silence\n",
                     (long long)job.NonFinite());
    }
    if (job.Clipped() > 0) {
        std::fprintf(stderr,
                     "velloran-render: %lld samples were past full scale and were clipped; "
                     "try a lower --volume or --float\n",
                     (long long)job.Clipped());
    }
}

int Render(const RenderOptions& options) {
    if (!OpenSong(options.song)) return Fail("can't render " + options.song);
    const bigtime_t start = system_time();
    RenderPlan plan(options.until, options.amount);
    if (plan.Limited()) {
        std::fprintf(stderr, "velloran-render: %s; stopped after %d minutes\n",
                     options.until == RenderPlan::Until::kMeasures
                         ? "that many measures play for more than an hour"
                     : plan.Loops() ? "the song plays on for ever (use --measures or --seconds)"
                                    : "the song plays for more than an hour (use --seconds)",
                     int(plan.Limit() / 44100 / 60));
    }
    // The first pass moved the controllers on: play the song as it was saved.
    if (!OpenSong(options.song)) return Fail("can't render " + options.song);
    std::string error;
    SongExport job;
    if (!options.output.stems.empty() && !MakeStemFolder(options.output.stems, &error)) {
        return Fail(error);
    }
    ProgressBar bar(int32(plan.MeasureStarts().size()), plan.Frames());
    const bool done = job.Run(plan, options.output, &error, [&](int32 measures, int64 frames) {
        if (options.progress) bar.Show(measures, frames);
        return true;
    });
    bar.Finish();
    if (!done) return Fail(error);
    Report(options, job, plan.Frames(), system_time() - start);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    if (!options.Parse(argc, argv, &error)) {
        std::fprintf(stderr, "velloran-render: %s\n\n%s", error.c_str(), RenderOptions::Usage());
        return 2;
    }
    if (options.help) {
        std::fputs(RenderOptions::Usage(), stdout);
        return 0;
    }
    ResolvePaths(&options);
    if (!MoveToProgramFolder()) return Fail("can't find the folder the program is in");
    // Offline nothing is played to a device.
    setenv("VELLORAN_AUDIO", "null", 1);
    SetErrorPresenter(PrintError);
    instrument_roster.Scan("instruments");
    machine_roster.Scan("machines");
    if (errorsShown > 0) return Fail("the add-ons are missing beside the program");
    new Song(PlayerDrive::kOffline);
    return Render(options);
}
