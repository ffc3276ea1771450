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
  bool extensible = false;  // with a channel mask
  uint32_t mask = 0;
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
  // Low (where the high pass cuts), middle and high (where the shelf lifts) tones, and noise.
  const double carrier = 0.5 * std::sin(2 * std::numbers::pi * 30 * t) + 0.3 * std::sin(2 * std::numbers::pi * 220 * t) +
                         0.2 * std::sin(2 * std::numbers::pi * (1375 + 40 * channel) * t + channel) +
                         0.3 * std::sin(2 * std::numbers::pi * 6000 * t) + 0.1 * (noise - std::floor(noise) - 0.5);
  return level * syllable * carrier * (channel == 0 ? 1.0 : 0.7);
}

// The stored value of a full-scale fraction, and what the file then holds as a fraction.
int Stored(double x, int bits) {
  const double scale = std::ldexp(1.0, bits - 1);
  const double v = std::clamp(std::round(x * scale), -scale, scale - 1);
  return bits == 8 ? static_cast<int>(v) + 128 : static_cast<int>(v);
}
double Fraction(int stored, int bits) { return (bits == 8 ? stored - 128 : stored) / std::ldexp(1.0, bits - 1); }

// libebur128's position of a channel that sits at speaker bit `speaker` of a channel mask (0:
// past the mask's set bits, or no mask): the fronts as centre, the low-frequency channel unused,
// the backs and sides as surrounds.
int ReferencePosition(uint32_t speaker) {
  switch (speaker) {
    case 0x1: return EBUR128_LEFT;
    case 0x2: return EBUR128_RIGHT;
    case 0x8: return EBUR128_UNUSED;
    case 0x10: case 0x200: case 0x100: return EBUR128_LEFT_SURROUND;
    case 0x20: case 0x400: return EBUR128_RIGHT_SURROUND;
    default: return EBUR128_CENTER;
  }
}

// Tells libebur128 where every channel of a file of 3 to 8 channels sits, from its mask.
void SetPositions(ebur128_state* st, const Kind& k) {
  if (k.channels <= 2) return;
  std::vector<uint32_t> bits;
  for (uint32_t b = 1; b != 0; b <<= 1) {
    if ((k.mask & b) != 0) bits.push_back(b);
  }
  for (int c = 0; c < k.channels; ++c) {
    const uint32_t speaker = static_cast<size_t>(c) < bits.size() ? bits[static_cast<size_t>(c)] : 0;
    ebur128_set_channel(st, static_cast<unsigned>(c), ReferencePosition(speaker));
  }
}

using State = std::unique_ptr<ebur128_state, void (*)(ebur128_state*)>;

// The programme of kind k, `gain` times as loud, measured by the meter and by libebur128.
struct Both {
  LoudnessFigures mine;
  State reference{nullptr, [](ebur128_state* s) { ebur128_destroy(&s); }};
};
Both MeasureBoth(const Kind& k, double gain = 1.0) {
  test::WavRecipe recipe;
  recipe.channels = k.channels;
  recipe.bits = k.bits;
  recipe.rate = k.rate;
  recipe.formatTag = k.isFloat ? 3 : 1;
  recipe.extensible = k.extensible;
  recipe.channelMask = k.mask;
  recipe.frames = static_cast<int64_t>(kSeconds * k.rate);
  recipe.sample = [&](int64_t f, int c) { return Stored(gain * Programme(f, c, k.rate), k.bits); };
  recipe.floatSample = [&](int64_t f, int c) { return static_cast<float>(gain * Programme(f, c, k.rate)); };
  MemorySource source(test::BuildWav(recipe));
  const ProbeResult probe = ProbeWave(source);
  EXPECT_TRUE(probe.status.ok());
  LoudnessOptions options;
  options.dualMono = k.dualMono;
  Both both;
  const Result<LoudnessFigures> mine = MeasureLoudness(source, probe.header, options);
  EXPECT_TRUE(mine.ok());
  both.mine = mine.value;

  both.reference.reset(
      ebur128_init(k.channels, k.rate, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_SAMPLE_PEAK));
  if (k.dualMono) ebur128_set_channel(both.reference.get(), 0, EBUR128_DUAL_MONO);
  SetPositions(both.reference.get(), k);
  std::vector<double> frames(static_cast<size_t>(recipe.frames * k.channels));
  for (int64_t f = 0; f < recipe.frames; ++f) {
    for (int c = 0; c < k.channels; ++c) {
      frames[static_cast<size_t>(f * k.channels + c)] =
          k.isFloat ? recipe.floatSample(f, c) : Fraction(recipe.sample(f, c), k.bits);
    }
  }
  ebur128_add_frames_double(both.reference.get(), frames.data(), static_cast<size_t>(recipe.frames));
  return both;
}

class LoudnessReference : public testing::TestWithParam<Kind> {};

TEST_P(LoudnessReference, AgreesWithLibebur128) {
  const Kind k = GetParam();
  const Both both = MeasureBoth(k);
  ebur128_state* st = both.reference.get();
  double integrated, range, peak = 0;
  ebur128_loudness_global(st, &integrated);
  ebur128_loudness_range(st, &range);
  for (int c = 0; c < k.channels; ++c) {
    double p;
    ebur128_sample_peak(st, c, &p);
    peak = std::max(peak, p);
  }
  const LoudnessFigures& mine = both.mine;
  EXPECT_NEAR(mine.integratedLufs, integrated, 0.02);
  EXPECT_NEAR(mine.lraLu, range, 0.1);
  EXPECT_EQ(mine.samplePeakDbfs, 20 * std::log10(peak));
  EXPECT_GE(mine.truePeakDbtp, mine.samplePeakDbfs);
}

// Three recordings about 9 dB apart and of different kinds, measured together.
TEST(LoudnessAlbum, AgreesWithLibebur128) {
  const Both a = MeasureBoth({"Stereo16", 2, 16, false, 44100}), b = MeasureBoth({"Mono24", 1, 24, false, 44100}, 0.35),
             c = MeasureBoth({"StereoFloat", 2, 32, true, 44100}, 0.12);
  ebur128_state* states[] = {a.reference.get(), b.reference.get(), c.reference.get()};
  double together;
  ebur128_loudness_global_multiple(states, 3, &together);
  EXPECT_NEAR(AlbumIntegratedLufs({&a.mine, &b.mine, &c.mine}), together, 0.02);
  EXPECT_EQ(AlbumIntegratedLufs({}), -INFINITY);
}

INSTANTIATE_TEST_SUITE_P(Kinds, LoudnessReference,
                         testing::Values(Kind{"Stereo8", 2, 8, false, 44100}, Kind{"Mono8", 1, 8, false, 22050},
                                         Kind{"Stereo16", 2, 16, false, 44100}, Kind{"Mono16", 1, 16, false, 48000},
                                         Kind{"Mono16Dual", 1, 16, false, 44100, true},
                                         Kind{"Stereo24", 2, 24, false, 96000}, Kind{"Mono24", 1, 24, false, 44100},
                                         Kind{"Stereo32", 2, 32, false, 48000}, Kind{"Mono32", 1, 32, false, 32000},
                                         Kind{"StereoFloat", 2, 32, true, 44100},
                                         Kind{"MonoFloat", 1, 32, true, 192000},
                                         // 5.1, quad, a mask of 0, 7.1 and plain files of 3 and 8
                                         Kind{"Surround51_16", 6, 16, false, 48000, false, true, 0x3F},
                                         Kind{"Quad24", 4, 24, false, 44100, false, true, 0x33},
                                         Kind{"SixMaskZero32", 6, 32, false, 48000, false, true, 0},
                                         Kind{"Surround71Float", 8, 32, true, 48000, false, true, 0x63F},
                                         Kind{"ThreePlain8", 3, 8, false, 44100},
                                         Kind{"EightPlain16", 8, 16, false, 32000}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sonaveld
