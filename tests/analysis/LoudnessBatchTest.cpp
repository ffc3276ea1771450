// The loudness pass over one file: the output's samples follow the plain-gain rule from the
// source's bytes (the write reads the view the measurement mapped), and no file stays open after
// the pass, whether the write succeeds or fails.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "analysis/LoudnessBatch.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

int OpenDescriptors() {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(LoudnessBatch, WritesTheRuleFromTheMeasuredFileAndClosesEverything) {
  test::TempDir dir;
  test::WavRecipe recipe;
  recipe.frames = 5 * 44100;
  recipe.sample = [](int64_t f, int c) { return static_cast<int>(std::lround(30000 * std::sin(0.05 * f + c))); };
  const std::vector<uint8_t> source = test::BuildWav(recipe);
  const std::string path = dir.File("take.wav");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(source.data()), source.size());
  const int before = OpenDescriptors();

  LoudnessBatchSettings settings;
  settings.settings.mode = NormalizeMode::kLoudness;
  settings.settings.outputDir = dir.File("missing");  // a folder that is not there: the write fails
  EXPECT_TRUE(RunLoudnessBatch({path}, settings, {}).at(0).bad);
  EXPECT_EQ(OpenDescriptors(), before);

  settings.settings.outputDir = dir.path() + "/out";
  std::filesystem::create_directory(settings.settings.outputDir);
  const LoudnessFileOutcome outcome = RunLoudnessBatch({path}, settings, {}).at(0);
  EXPECT_EQ(OpenDescriptors(), before);
  ASSERT_FALSE(outcome.bad) << outcome.row.message;
  const std::vector<uint8_t> output = FileBytes(outcome.written);
  ASSERT_EQ(output.size(), source.size());
  ASSERT_TRUE(outcome.row.gainDb.has_value());
  const double g = std::pow(10.0, *outcome.row.gainDb / 20.0);
  for (size_t at = 44; at < source.size(); at += 2) {
    int16_t s, y;
    std::memcpy(&s, &source[at], 2);
    std::memcpy(&y, &output[at], 2);
    ASSERT_EQ(y, std::clamp(std::nearbyint(s * g), -32768.0, 32767.0)) << "byte " << at;
  }
}

}  // namespace
}  // namespace sonaveld
