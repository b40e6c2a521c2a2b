// The render tool's WAV writer: what it does with samples no file should hold.
#include "engine/wav_file.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

// NaN and infinity are written as silence and counted apart from the samples clipped at full
// scale, which 16-bit files hold at the limit.
TEST(WavFile, WritesSamplesThatAreNotFiniteAsSilenceAndCountsThemApartFromClipped) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("velloran-wav-" + std::to_string(getpid()) + ".wav"))
                                 .string();
    WavFile file;
    std::string error;
    ASSERT_TRUE(file.Create(path, false, &error)) << error;
    const float left[] = {NAN, 0.5f, 2.0f};
    const float right[] = {INFINITY, -0.5f, -INFINITY};
    ASSERT_TRUE(file.Write(left, right, 3, &error)) << error;
    EXPECT_EQ(file.NonFinite(), 3);
    EXPECT_EQ(file.Clipped(), 1);
    ASSERT_TRUE(file.Commit(&error)) << error;

    SF_INFO info{};
    SNDFILE* read = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(read, nullptr);
    std::vector<float> samples(6);
    EXPECT_EQ(sf_readf_float(read, samples.data(), 3), 3);
    sf_close(read);
    std::filesystem::remove(path);
    EXPECT_EQ(samples[0], 0.0f);
    EXPECT_EQ(samples[1], 0.0f);
    EXPECT_NEAR(samples[2], 0.5f, 1e-4);
    EXPECT_NEAR(samples[3], -0.5f, 1e-4);
    EXPECT_NEAR(samples[4], 1.0f, 1e-4);
    EXPECT_EQ(samples[5], 0.0f);
}
