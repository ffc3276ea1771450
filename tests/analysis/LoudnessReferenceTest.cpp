// The loudness meter against libebur128 on programme-like recordings of every kind: speech-like
// bursts whose level jumps every two seconds, pauses included, so the gates and the range have
// work to do. The samples libebur128 is given are the file's samples as fractions of full scale.
#include <gtest/gtest.h>

#include <ebur128.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "analysis/LoudnessMeter.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

struct Kind {
  const char* name;
  int channels, bits;
  bool isFloat;
  int rate;
  bool dualMono = false;
};
void PrintTo(const Kind& k, std::ostream* os) { *os << k.name; }

constexpr double kSeconds = 24.0;

// The programme: value in -1..1 of (frame, channel); levels from a fixed sequence of jumps.
double Programme(int64_t frame, int channel, int rate) {
  static const double kLevelsDb[] = {-12, -30, -8, -45, -20, -90, -15, -26, -10, -36, -18, -6};
  const double t = static_cast<double>(frame) / rate;
  const double level = std::pow(10.0, kLevelsDb[static_cast<int>(t / 2.0) % 12] / 20.0);
  const double syllable = std::pow(std::sin(std::numbers::pi * 3.1 * t), 2);
  const double noise = std::sin(frame * 12.9898 + channel * 78.233) * 43758.5453;
  const double carrier = 0.6 * std::sin(2 * std::numbers::pi * 220 * t) +
                         0.3 * std::sin(2 * std::numbers::pi * (1375 + 40 * channel) * t + channel) +
                         0.1 * (noise - std::floor(noise) - 0.5);
  return level * syllable * carrier * (channel == 0 ? 1.0 : 0.7);
}

// The stored value of a full-scale fraction, and what the file then holds as a fraction.
int Stored(double x, int bits) {
  const double scale = std::ldexp(1.0, bits - 1);
  const double v = std::clamp(std::round(x * scale), -scale, scale - 1);
  return bits == 8 ? static_cast<int>(v) + 128 : static_cast<int>(v);
}
double Fraction(int stored, int bits) { return (bits == 8 ? stored - 128 : stored) / std::ldexp(1.0, bits - 1); }

class LoudnessReference : public testing::TestWithParam<Kind> {};

TEST_P(LoudnessReference, AgreesWithLibebur128) {
  const Kind k = GetParam();
  test::WavRecipe recipe;
  recipe.channels = k.channels;
  recipe.bits = k.bits;
  recipe.rate = k.rate;
  recipe.formatTag = k.isFloat ? 3 : 1;
  recipe.frames = static_cast<int64_t>(kSeconds * k.rate);
  recipe.sample = [&](int64_t f, int c) { return Stored(Programme(f, c, k.rate), k.bits); };
  recipe.floatSample = [&](int64_t f, int c) { return static_cast<float>(Programme(f, c, k.rate)); };
  MemorySource source(test::BuildWav(recipe));
  const ProbeResult probe = ProbeWave(source);
  ASSERT_TRUE(probe.status.ok());
  LoudnessOptions options;
  options.dualMono = k.dualMono;
  const Result<LoudnessFigures> mine = MeasureLoudness(source, probe.header, options);
  ASSERT_TRUE(mine.ok());

  std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> st(
      ebur128_init(k.channels, k.rate, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_SAMPLE_PEAK),
      [](ebur128_state* s) { ebur128_destroy(&s); });
  if (k.dualMono) ebur128_set_channel(st.get(), 0, EBUR128_DUAL_MONO);
  std::vector<double> frames(static_cast<size_t>(recipe.frames * k.channels));
  for (int64_t f = 0; f < recipe.frames; ++f) {
    for (int c = 0; c < k.channels; ++c) {
      frames[static_cast<size_t>(f * k.channels + c)] =
          k.isFloat ? static_cast<float>(Programme(f, c, k.rate)) : Fraction(recipe.sample(f, c), k.bits);
    }
  }
  ebur128_add_frames_double(st.get(), frames.data(), static_cast<size_t>(recipe.frames));
  double integrated, range, peak = 0;
  ebur128_loudness_global(st.get(), &integrated);
  ebur128_loudness_range(st.get(), &range);
  for (int c = 0; c < k.channels; ++c) {
    double p;
    ebur128_sample_peak(st.get(), c, &p);
    peak = std::max(peak, p);
  }
  EXPECT_NEAR(mine.value.integratedLufs, integrated, 0.02);
  EXPECT_NEAR(mine.value.lraLu, range, 0.1);
  EXPECT_EQ(mine.value.samplePeakDbfs, 20 * std::log10(peak));
  EXPECT_GE(mine.value.truePeakDbtp, mine.value.samplePeakDbfs);
}

INSTANTIATE_TEST_SUITE_P(Kinds, LoudnessReference,
                         testing::Values(Kind{"Stereo8", 2, 8, false, 44100}, Kind{"Mono8", 1, 8, false, 22050},
                                         Kind{"Stereo16", 2, 16, false, 44100}, Kind{"Mono16", 1, 16, false, 48000},
                                         Kind{"Mono16Dual", 1, 16, false, 44100, true},
                                         Kind{"Stereo24", 2, 24, false, 96000}, Kind{"Mono24", 1, 24, false, 44100},
                                         Kind{"Stereo32", 2, 32, false, 48000}, Kind{"Mono32", 1, 32, false, 32000},
                                         Kind{"StereoFloat", 2, 32, true, 44100},
                                         Kind{"MonoFloat", 1, 32, true, 192000}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sonaveld
