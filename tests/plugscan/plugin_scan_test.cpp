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

ProbeRun Probe(const fs::path& folder) {
    const fs::path err = folder / "stderr.txt";
    // Sanitizers would catch the plug-in's crash themselves and end the checker tidily.
    const char* tsan = std::getenv("TSAN_OPTIONS");
    const std::string command =
        "VST_PATH=" + (folder / "vst").string() + " XDG_CACHE_HOME=" + (folder / "cache").string() +
        " ASAN_OPTIONS=handle_segv=0 TSAN_OPTIONS='" + (tsan != nullptr ? tsan : "") +
        " handle_segv=0' " PROBE " " BUILD_ROOT " 2>" + err.string();
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

std::vector<std::string> Names(const std::string& lines) {
    std::vector<std::string> names;
    std::stringstream in(lines);
    for (std::string name; std::getline(in, name);) names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(PluginScan, LeavesOutPluginsThatCrashOrHangWhenOpenedAndRemembersWhy) {
    const fs::path folder =
        fs::temp_directory_path() / ("velloran-plugscan-" + std::to_string(getpid()));
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

}  // namespace
