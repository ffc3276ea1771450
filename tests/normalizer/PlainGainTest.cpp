// The loudness mode's plain gain, linked channels and clipped counts, held against models written
// from the rules (round half to even by std::nearbyint, the exact gain's clamp in long double).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "NormalizeTestSupport.h"
#include "normalizer/LoudnessGain.h"
#include "support/TempDir.h"

namespace sonaveld {
namespace {

using test::BuildWav;
using test::ReadFileBytes;
using test::WavRecipe;
using test::WriteFileBytes;

constexpr size_t kHeader = 44;  // the recipes below have a plain 44-byte header

struct PassFiles {
  std::vector<uint8_t> source, output;
  test::RecordingHost host;
};

// Writes recipe to a file and runs one pass over it with settings, keeping both files' bytes.
void RunPass(const WavRecipe& recipe, const NormalizeSettings& settings, PassFiles& run) {
  test::TempDir dir;
  const std::string path = dir.File("take.wav");
  run.source = BuildWav(recipe);
  WriteFileBytes(path, run.source);
  NormalizePass pass(run.host);
  ASSERT_TRUE(pass.Run({path}, settings).status.ok());
  run.output = ReadFileBytes(dir.File("take-n.wav"));
  ASSERT_EQ(run.output.size(), run.source.size());
}

NormalizeSettings Loudness(double gainDb, bool dither = false) {
  NormalizeSettings settings;
  settings.mode = NormalizeMode::kLoudness;
  settings.gainsDb = {gainDb};
  settings.dither = dither;
  return settings;
}

int64_t Integer(const uint8_t* p, int bits) { return test::IntegerAt(p, bits); }

struct PlainCase {
  int channels, bits;
  bool isFloat;
  double gainDb;
};

class PlainGainBytes : public testing::TestWithParam<PlainCase> {};

// Every sample on disk as y = clamp(round-half-even(s x 10^(G/20))), float (float)(x x g) with
// NaN and infinities kept; the header and the chunk after the samples unchanged; clamps counted.
TEST_P(PlainGainBytes, FollowTheRoundingRule) {
  const PlainCase c = GetParam();
  WavRecipe recipe = test::Recipe(c.channels, c.bits, 3000, {}, {}, test::Chunk("LIST", {1, 2, 3, 4}));
  const int64_t full = int64_t{1} << (c.bits - 1);
  // Halves of whole steps (ties) and large values that clip at +20 dB, on both signs.
  recipe.sample = [&](int64_t f, int ch) {
    const int64_t v = (f * 7919 + ch * 104729) % (2 * full) - full;
    return static_cast<int>(c.bits == 8 ? v + 128 : v);
  };
  if (c.isFloat) {
    recipe.formatTag = 3;
    recipe.floatSample = [](int64_t f, int ch) {
      if (f == 17) return ch == 0 ? NAN : INFINITY;
      return static_cast<float>(std::sin(0.37 * static_cast<double>(f) + ch) * 0.9);
    };
  }
  PassFiles run;
  RunPass(recipe, Loudness(c.gainDb), run);
  const double g = std::pow(10.0, c.gainDb / 20.0);
  const int bytes = c.bits / 8;
  const size_t end = run.source.size() - 12;  // the LIST chunk follows
  int64_t clipped[8] = {};
  int64_t ties = 0;  // s x g exactly halfway: where half-even differs from half-up
  for (size_t at = kHeader, i = 0; at < end; at += bytes, ++i) {
    const uint8_t* in = &run.source[at];
    const uint8_t* out = &run.output[at];
    if (c.isFloat) {
      float x, y;
      std::memcpy(&x, in, 4);
      std::memcpy(&y, out, 4);
      const float expected = std::isfinite(x) ? static_cast<float>(static_cast<double>(x) * g) : x;
      ASSERT_EQ(std::memcmp(&y, &expected, 4), 0) << "sample " << i;
      continue;
    }
    const double exact = static_cast<double>(Integer(in, c.bits)) * g;
    const double r = std::nearbyint(exact);
    ties += std::fabs(exact - std::trunc(exact)) == 0.5;
    const double y = std::clamp(r, static_cast<double>(-full), static_cast<double>(full - 1));
    clipped[i % c.channels] += r != y;
    ASSERT_EQ(Integer(out, c.bits), static_cast<int64_t>(y)) << "sample " << i;
  }
  EXPECT_TRUE(std::equal(run.source.begin(), run.source.begin() + kHeader, run.output.begin()));
  EXPECT_TRUE(std::equal(run.source.begin() + static_cast<long>(end), run.source.end(),
                         run.output.begin() + static_cast<long>(end)));
  ASSERT_EQ(run.host.figures.size(), 1u);
  for (int ch = 0; ch < std::max(2, c.channels); ++ch) {
    EXPECT_EQ(run.host.figures[0].clipped[ch], clipped[ch]) << "channel " << ch;
    EXPECT_DOUBLE_EQ(run.host.figures[0].gainDb[ch], c.gainDb);
  }
  if (g == 0.5 || g == 2.5) {
    EXPECT_GT(ties, 100);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PlainGainBytes,
                         testing::Values(PlainCase{1, 8, false, -7.3}, PlainCase{2, 8, false, 20},
                                         PlainCase{2, 16, false, -6.020599913279624}, PlainCase{1, 16, false, 20},
                                         PlainCase{2, 24, false, 7.958800173440752}, PlainCase{1, 24, false, 20},
                                         PlainCase{2, 32, false, -0.5}, PlainCase{1, 32, false, 20},
                                         PlainCase{2, 32, true, 9.5}, PlainCase{1, 32, true, -12},
                                         PlainCase{3, 8, false, 20}, PlainCase{6, 16, false, -6.020599913279624},
                                         PlainCase{8, 24, false, 20}, PlainCase{3, 32, false, 20},
                                         PlainCase{6, 32, true, 9.5}));

// 16-bit stereo: each clamp is counted on its own channel, however the samples are taken in
// groups (here only the left channel reaches the range; 1001 frames leave a group's remainder).
TEST(PlainGainClamps, CountedOnTheirChannel) {
  const WavRecipe recipe = test::Recipe(2, 16, 1001, [](int64_t f, int ch) {
    return static_cast<int>(ch == 0 ? (f * 7919) % 65536 - 32768 : (f % 301) - 150);
  });
  PassFiles run;
  RunPass(recipe, Loudness(3.1), run);
  const double g = std::pow(10.0, 3.1 / 20.0);
  int64_t clipped[2] = {0, 0};
  for (size_t at = kHeader, i = 0; at < run.source.size(); at += 2, ++i) {
    const double r = std::nearbyint(static_cast<double>(Integer(&run.source[at], 16)) * g);
    const double y = std::clamp(r, -32768.0, 32767.0);
    clipped[i % 2] += r != y;
    ASSERT_EQ(Integer(&run.output[at], 16), static_cast<int64_t>(y)) << "sample " << i;
  }
  ASSERT_EQ(run.host.figures.size(), 1u);
  EXPECT_GT(clipped[0], 100);
  EXPECT_EQ(run.host.figures[0].clipped[0], clipped[0]);
  EXPECT_EQ(run.host.figures[0].clipped[1], 0);
}

// Dither: the same bytes every time, within one step and a half of s x g, and not the plain rounding.
TEST(PlainGainDither, DeterministicAndWithinOneStep) {
  const WavRecipe recipe = test::Recipe(2, 16, 4000, [](int64_t f, int ch) {
    return static_cast<int>(std::lround(8000 * std::sin(0.01 * static_cast<double>(f) + ch)));
  });
  PassFiles first, second, plain;
  RunPass(recipe, Loudness(-3.3, true), first);
  RunPass(recipe, Loudness(-3.3, true), second);
  RunPass(recipe, Loudness(-3.3, false), plain);
  EXPECT_EQ(first.output, second.output);
  EXPECT_NE(first.output, plain.output);
  const double g = std::pow(10.0, -3.3 / 20.0);
  double sum = 0;
  for (size_t at = kHeader; at < first.output.size(); at += 2) {
    const double error = static_cast<double>(Integer(&first.output[at], 16)) -
                         static_cast<double>(Integer(&first.source[at], 16)) * g;
    ASSERT_LE(std::fabs(error), 1.5);
    sum += error;
  }
  EXPECT_LT(std::fabs(sum / 8000), 0.05);  // no offset
}

struct PlanCase {
  double integrated, truePeak, target, ceiling;
  double gain;
  bool limited, unchanged;
};

class LoudnessPlan : public testing::TestWithParam<PlanCase> {};

TEST_P(LoudnessPlan, GainAndLimit) {
  const PlanCase c = GetParam();
  const LoudnessGain gain = PlanLoudnessGain(c.integrated, c.truePeak, {c.target, c.ceiling});
  EXPECT_EQ(gain.unchanged, c.unchanged);
  EXPECT_EQ(gain.limited, c.limited);
  EXPECT_DOUBLE_EQ(gain.gainDb, c.gain);
  if (!c.unchanged) {
    EXPECT_DOUBLE_EQ(gain.reachedLufs, c.integrated + c.gain);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, LoudnessPlan,
                         testing::Values(PlanCase{-30, -10, -23, -1, 7, false, false},
                                         PlanCase{-20, -2, -16, -1, 1, true, false},
                                         PlanCase{-17, -5, -16, -4, 1, false, false},  // exactly at the ceiling
                                         PlanCase{-10, -0.5, -23, -1, -13, false, false},
                                         PlanCase{-INFINITY, -INFINITY, -23, -1, 0, false, true}));

// --linked: the louder channel's gain on both, so L -6 / R -12 dBFS stays 6 dB apart; clipped
// samples of average mode counted where the exact r passes the range.
TEST(LinkedChannels, OneGainKeepsTheBalanceAndClampsAreCounted) {
  const WavRecipe recipe = test::Recipe(2, 16, 6000, [](int64_t f, int ch) {
    // Speech-like: quiet, with a peak of 16384 now and then, so the average mode clips.
    const int v = (f % 50 == 0 ? 16384 : static_cast<int>((f * 37) % 300)) * (f % 2 ? -1 : 1);
    return ch == 0 ? v : v / 2;
  });
  for (const NormalizeMode mode : {NormalizeMode::kPeak, NormalizeMode::kAverage}) {
    NormalizeSettings settings;
    settings.mode = mode;
    settings.linked = true;
    PassFiles run;
    RunPass(recipe, settings, run);
    ASSERT_EQ(run.host.figures.size(), 1u);
    int64_t louder = 0;  // the chosen level of the left channel, the louder one
    if (mode == NormalizeMode::kPeak) louder = 16384;
    // Average: the mean of |s| of the left channel over the full blocks, as the pass takes it.
    if (mode == NormalizeMode::kAverage) {
      const int64_t blocks = static_cast<int64_t>(run.source.size()) / 4000 + 1;
      int64_t total = 0;
      for (size_t b = 0; kHeader + (b + 1) * 4000 <= run.source.size(); ++b) {
        int64_t sum = 0;
        for (size_t k = 0; k < 2000; k += 2) sum += std::llabs(Integer(&run.source[kHeader + b * 4000 + 2 * k], 16));
        total += sum / 1000;
      }
      louder = static_cast<int32_t>(total / blocks);
    }
    int64_t clipped = 0;
    for (size_t at = kHeader; at < run.source.size(); at += 2) {
      const int64_t s = Integer(&run.source[at], 16);
      const int64_t expected = test::ReferenceScale(16, mode == NormalizeMode::kAverage, 1.0f, louder, s);
      ASSERT_EQ(Integer(&run.output[at], 16), expected) << at;
      const long double c = mode == NormalizeMode::kPeak ? 32767.0L : 32767.0L / 7.5L;
      const long double r = c / static_cast<long double>(louder) * static_cast<long double>(s) * 1.0L;
      clipped += r >= 32768.0L || r < -32768.0L;
    }
    const EntryFigures& f = run.host.figures[0];
    EXPECT_EQ(f.gainDb[0], f.gainDb[1]);
    EXPECT_EQ(f.clipped[0] + f.clipped[1], clipped);
    EXPECT_EQ(mode == NormalizeMode::kPeak, clipped == 0);
  }
}

}  // namespace
}  // namespace sonaveld
