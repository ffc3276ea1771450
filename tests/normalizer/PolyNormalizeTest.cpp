// Files of 3 to 8 channels in the peak and average modes, each channel alone and linked: the
// bytes on disk and the clipped counts against the literal model of the two runs.
#include <gtest/gtest.h>

#include <cmath>

#include "NormalizeTestSupport.h"
#include "normalizer/NormalizeReport.h"
#include "support/TempDir.h"

namespace sonaveld {
namespace {

struct PolyCase {
  int channels, bits;
  bool isFloat;
};

// Each channel at its own level, a quiet body with rare spikes (which the average mode's gain
// clips); the third channel silent, kept as it is.
test::WavRecipe PolyRecipe(const PolyCase& c) {
  auto value = [](int64_t f, int ch) {
    const double level = ch == 2 ? 0.0 : 0.9 / (1 + ch);
    return f % 211 == 7 ? (f % 2 ? level : -level) : std::sin(0.013 * static_cast<double>(f) * (ch + 1)) * level / 10;
  };
  test::WavRecipe recipe = test::Recipe(c.channels, c.bits, 4321);
  const double full = std::ldexp(1.0, c.bits - 1) - 1;
  recipe.sample = [=](int64_t f, int ch) { return static_cast<int>(std::lround(value(f, ch) * full)) + (c.bits == 8 ? 128 : 0); };
  if (c.isFloat) recipe.formatTag = 3, recipe.floatSample = [=](int64_t f, int ch) { return static_cast<float>(value(f, ch)); };
  return recipe;
}

class PolyNormalize : public testing::TestWithParam<PolyCase> {};

TEST_P(PolyNormalize, EveryChannelByItsOwnOrTheLinkedGain) {
  const PolyCase c = GetParam();
  const std::vector<uint8_t> source = test::BuildWav(PolyRecipe(c));
  const auto size = static_cast<int64_t>(source.size());
  const SampleLayout layout = SampleLayoutOf(ClassifyEncoding({static_cast<uint16_t>(c.isFloat ? 3 : 1), 16, 0, c.bits}), c.channels);
  for (const NormalizeMode mode : {NormalizeMode::kPeak, NormalizeMode::kAverage}) {
    for (const bool linked : {false, true}) {
      SCOPED_TRACE(std::string(mode == NormalizeMode::kAverage ? "average" : "peak") + (linked ? " linked" : ""));
      const test::ReferenceResult expected =
          test::ReferenceRuns(source, {44, size, size, FormatKind::kNone, {}, layout}, mode, 100, linked);
      test::TempDir dir;
      test::WriteFileBytes(dir.File("take.wav"), source);
      test::RecordingHost host;
      NormalizeSettings settings;
      settings.mode = mode, settings.linked = linked;
      ASSERT_TRUE(NormalizePass(host).Run({dir.File("take.wav")}, settings).status.ok());
      const std::vector<uint8_t> out = test::ReadFileBytes(dir.File("take-n.wav"));
      ASSERT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 44), std::vector<uint8_t>(source.begin(), source.begin() + 44));
      ASSERT_EQ(std::vector<uint8_t>(out.begin() + 44, out.end()), expected.samples);
      ASSERT_EQ(host.figures.size(), 1u);
      for (int ch = 0; ch < c.channels; ++ch) EXPECT_EQ(host.figures[0].clipped[ch], expected.clipped[ch]) << ch;
      EXPECT_EQ(host.figures[0].gainDb[2] == 0.0, !linked);  // the silent channel, kept unless linked
      EXPECT_EQ(expected.clipped[0] > 0, mode == NormalizeMode::kAverage);
      // The report holds every channel: left and right, then the third channel on.
      ReportRow row;
      FillLevels(row, host.figures[0]);
      const std::string header = CsvHeader(true, ReportChannels({row}));
      EXPECT_NE(header.find("clipped_right,level_ch3_dbfs,gain_ch3_db,clipped_ch3"), std::string::npos);
      EXPECT_TRUE(header.ends_with(",clipped_ch" + std::to_string(c.channels))) << header;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PolyNormalize,
                         testing::Values(PolyCase{3, 8, false}, PolyCase{3, 16, false}, PolyCase{6, 16, false},
                                         PolyCase{6, 24, false}, PolyCase{8, 32, false}, PolyCase{8, 32, true},
                                         PolyCase{3, 32, true}),
                         [](const auto& info) {
                           const PolyCase& c = info.param;
                           return std::to_string(c.channels) + "ch" + std::to_string(c.bits) + (c.isFloat ? "f" : "");
                         });

}  // namespace
}  // namespace sonaveld
