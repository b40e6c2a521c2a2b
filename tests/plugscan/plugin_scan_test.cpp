// Plug-ins in the users' folders are checked in a process of their own: one that crashes or
// hangs when opened is left out with the reason, and the program runs on.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct ProbeRun {
    int status = -1;
    std::string out;
    std::string err;
    double seconds = 0;
};

// mode: "" or "--gui"; cache: the folder's subfolder keeping the verdicts.
ProbeRun Probe(const fs::path& folder, const std::string& mode = "",
               const std::string& cache = "cache") {
    const fs::path err = folder / "stderr.txt";
    // Sanitizers would catch the plug-in's crash themselves and end the checker tidily.
    const char* tsan = std::getenv("TSAN_OPTIONS");
    const std::string command =
        "VST_PATH=" + (folder / "vst").string() + " XDG_CACHE_HOME=" + (folder / cache).string() +
        " QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=handle_segv=0 TSAN_OPTIONS='" +
        (tsan != nullptr ? tsan : "") + " handle_segv=0' " PROBE " " BUILD_ROOT " " + mode + " 2>" +
        err.string();
    const auto start = std::chrono::steady_clock::now();
    ProbeRun run;
    FILE* pipe = popen(command.c_str(), "r");
    char chunk[256];
    while (pipe != nullptr && std::fgets(chunk, sizeof chunk, pipe) != nullptr) run.out += chunk;
    run.status = pipe != nullptr ? pclose(pipe) : -1;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::ifstream in(err);
    run.err.assign(std::istreambuf_iterator<char>(in), {});
    return run;
}

// The lines of the output that start with prefix ("" for the plug-ins' names), sorted.
std::vector<std::string> Lines(const std::string& output, const std::string& prefix) {
    std::vector<std::string> lines;
    std::stringstream in(output);
    for (std::string line; std::getline(in, line);) {
        if (prefix.empty() ? line.starts_with("# ") : !line.starts_with(prefix)) continue;
        lines.push_back(line.substr(prefix.size()));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> Names(const std::string& output) {
    return Lines(output, "");
}

// The lines saying which plug-ins were left out and why.
std::vector<std::string> LeftOut(const std::string& err) {
    std::vector<std::string> reasons;
    std::stringstream in(err);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with("Velloran: left out")) reasons.push_back(line);
    return reasons;
}

fs::path ScanFolder(const std::string& name) {
    const fs::path folder =
        fs::temp_directory_path() / ("velloran-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "vst");
    return folder;
}

TEST(PluginScan, LeavesOutPluginsThatCrashOrHangWhenOpenedAndRemembersWhy) {
    const fs::path folder = ScanFolder("plugscan");
    fs::create_directories(folder / "vst" / "deeper");
    fs::copy_file(OUR_ECHO, folder / "vst" / "OurEcho.so");
    fs::copy_file(CRASHING, folder / "vst" / "Crashing.so");
    fs::copy_file(HANGING, folder / "vst" / "deeper" / "Hanging.so");
    // The shipped plug-in of the same name is listed once.
    fs::copy_file(OUR_ECHO, folder / "vst" / "StereoEcho.so");

    const ProbeRun first = Probe(folder);
    ASSERT_TRUE(WIFEXITED(first.status) && WEXITSTATUS(first.status) == 0) << first.err;
    EXPECT_EQ(Names(first.out),
              (std::vector<std::string>{"GainPan", "LowPass", "OurEcho", "StereoEcho"}));
    EXPECT_NE(first.err.find("Crashing.so: it crashed when opened"), std::string::npos)
        << first.err;
    EXPECT_NE(first.err.find("Hanging.so: it did not return within 3 s when opened"),
              std::string::npos)
        << first.err;

    // The verdicts are kept: the next start checks nothing and is quick.
    const ProbeRun second = Probe(folder);
    EXPECT_EQ(second.out, first.out);
    EXPECT_NE(second.err.find("Hanging.so"), std::string::npos);
    EXPECT_LT(second.seconds, 2.5);
    fs::remove_all(folder);
}

void ExpectSameResult(const ProbeRun& run, const ProbeRun& plain) {
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.err;
    EXPECT_EQ(Names(run.out), Names(plain.out));
    EXPECT_EQ(LeftOut(run.err), LeftOut(plain.err));
}

// The shipped three and the hanging one are new, the hanging one checked last; the copy of ours
// is listed once. The window showed it and closed after.
void ExpectProgressShownAndClosed(const ProbeRun& run) {
    const std::vector<std::string> shown = Lines(run.out, "# shown ");
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "Hanging|4 of 4"), 1) << run.out;
    // Slow checks of the others may show too.
    for (const std::string& state : shown) EXPECT_TRUE(state.ends_with(" of 4")) << state;
    EXPECT_EQ(Lines(run.out, "# left "), std::vector<std::string>{"0"});
}

// A plug-in that hangs keeps the scan busy for seconds: the GUI thread serves meanwhile and a
// window shows which plug-in is checked, with a result the same as a scan with no windows.
TEST(PluginScan, AScanOnTheGuiThreadServesWindowsAndShowsItsProgressUntilItEnds) {
    const fs::path folder = ScanFolder("plugprogress");
    fs::copy_file(OUR_ECHO, folder / "vst" / "StereoEcho.so");
    fs::copy_file(HANGING, folder / "vst" / "Hanging.so");

    const ProbeRun plain = Probe(folder, "", "plain-cache");
    ASSERT_EQ(LeftOut(plain.err).size(), 1u) << plain.err;
    const ProbeRun first = Probe(folder, "--gui");
    ExpectSameResult(first, plain);
    ExpectProgressShownAndClosed(first);
    // Ticks of 50 ms all through the 3 s the hanging plug-in has to answer.
    const std::vector<std::string> ticks = Lines(first.out, "# ticks ");
    ASSERT_EQ(ticks.size(), 1u) << first.out;
    EXPECT_GE(std::stoi(ticks[0]), 3000 / 50 / 2);

    // A song being opened makes the machine on a thread of its own; the GUI thread shows the
    // progress for it.
    const ProbeRun loader = Probe(folder, "--gui-loader", "loader-cache");
    ExpectSameResult(loader, plain);
    ExpectProgressShownAndClosed(loader);

    // Everything known: the scan is over before a window would show.
    const ProbeRun second = Probe(folder, "--gui");
    ExpectSameResult(second, plain);
    EXPECT_TRUE(Lines(second.out, "# shown ").empty()) << second.out;
    EXPECT_EQ(Lines(second.out, "# left "), std::vector<std::string>{"0"});

    // Quitting mid-check waits neither for the hanging plug-in nor for its checker, and
    // drops the unfinished list rather than show part of it.
    const ProbeRun quit = Probe(folder, "--gui-quit", "quit-cache");
    ASSERT_TRUE(WIFEXITED(quit.status) && WEXITSTATUS(quit.status) == 0) << quit.err;
    EXPECT_LT(quit.seconds, first.seconds - 1) << quit.err;
    EXPECT_TRUE(Names(quit.out).empty()) << quit.out;
    EXPECT_EQ(Lines(quit.out, "# left "), std::vector<std::string>{"0"});
    fs::remove_all(folder);
}

}  // namespace
