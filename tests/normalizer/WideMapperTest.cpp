// The 24-bit, 32-bit and float kinds mapped by SampleMapper, sample by sample against the test
// reference, on the samples where a double-precision shortcut would go wrong: those whose scaled
// value lies on or next to a whole number (or, for float, next to a rounding midpoint), full
// scale both ways, zero, the level itself, and for float NaN, infinities, -0 and subnormals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "GainReference.h"
#include "normalizer/SampleMapper.h"

namespace sonaveld {
namespace {

struct WideCase {
  FormatKind kind;
  NormalizeMode mode;
  int percent;
  double left;  // the chosen level of each channel (a whole number for the integer kinds)
  double right;
};

ChannelLevels LevelsOf(const WideCase& c) {
  ChannelLevels levels;
  const double level[2] = {c.left, c.right};
  for (int ch = 0; ch < 2; ++ch) {
    ChannelLevel& l = levels.channel[ch];
    l.peak = l.average = static_cast<int64_t>(level[ch]);
    l.floatPeak = static_cast<float>(level[ch]);
    l.floatAverage = Extended(level[ch]);
  }
  return levels;
}

// Integer samples s whose q x s x f lands on or beside a whole number n: s = n / gain and its
// neighbours, for n over the whole output range, besides the edges and random values.
std::vector<int64_t> HardIntegers(int bits, double gain, int64_t level, std::mt19937_64& random) {
  const int64_t top = (int64_t{1} << (bits - 1)) - 1;
  std::vector<int64_t> s = {0, 1, -1, top, -top - 1, top - 1, -top};
  for (int64_t v : {level, -level, level - 1, -level + 1}) s.push_back(std::clamp(v, -top - 1, top));
  for (int i = 0; i < 3000; ++i) {
    const double n = std::round(std::ldexp(static_cast<double>(random() % 2000001) - 1000000, bits - 21));
    const auto base = static_cast<int64_t>(std::round(n / gain));
    for (int64_t d = -2; d <= 2; ++d) s.push_back(std::clamp(base + d, -top - 1, top));
    s.push_back(static_cast<int64_t>(random() % (2 * static_cast<uint64_t>(top) + 2)) - top - 1);
  }
  return s;
}

// Float samples whose scaled value lands beside a midpoint between two floats, and the edges.
std::vector<float> HardFloats(double gain, float level, std::mt19937_64& random) {
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<float> x = {0.0f, -0.0f, 1.0f, -1.0f, level, -level, inf, -inf, std::nanf(""), -std::nanf("7"),
                          std::numeric_limits<float>::denorm_min(), -1e-40f, std::numeric_limits<float>::max()};
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int i = 0; i < 3000; ++i) {
    const auto y = static_cast<float>(unit(random));
    const double midpoint = (static_cast<double>(y) + std::nextafter(y, 2.0f)) / 2;
    const auto base = static_cast<float>(midpoint / gain);
    for (float v = std::nextafter(std::nextafter(base, -inf), -inf), k = 0; k < 5; ++k, v = std::nextafter(v, inf)) {
      x.push_back(v);
    }
    x.push_back(static_cast<float>(unit(random)) / level);
  }
  return x;
}

class WideMapperTest : public testing::TestWithParam<WideCase> {};

TEST_P(WideMapperTest, HardSamplesMatchReference) {
  const WideCase& c = GetParam();
  const int bytes = SampleBytes(c.kind), channels = ChannelsOf(c.kind);
  const bool average = c.mode == NormalizeMode::kAverage, isFloat = IsFloatKind(c.kind);
  const float f = test::ReferenceFactor(c.percent);
  SampleMapper mapper;
  mapper.Prepare(c.kind, c.mode, PercentFactor(c.percent), LevelsOf(c));
  std::mt19937_64 random(c.percent * 1000 + static_cast<int>(c.kind));
  const double constant = (isFloat ? 1.0 : std::ldexp(1.0, 8 * bytes - 1) - 1) / (average ? 7.5 : 1.0);

  for (int ch = 0; ch < channels; ++ch) {
    const double level = ch == 0 ? c.left : c.right;
    std::vector<uint8_t> in;
    // Each sample on this channel, the other channel's slot holding the same bytes.
    auto put = [&](const void* sample) {
      for (int k = 0; k < channels; ++k) in.insert(in.end(), static_cast<const uint8_t*>(sample), static_cast<const uint8_t*>(sample) + bytes);
    };
    const double gain = constant / level * f;
    const auto ints = isFloat ? std::vector<int64_t>{} : HardIntegers(8 * bytes, gain, static_cast<int64_t>(level), random);
    const auto floats = isFloat ? HardFloats(gain, static_cast<float>(level), random) : std::vector<float>{};
    for (int64_t s : ints) put(&s);  // little-endian: the low bytes are the sample
    for (float x : floats) put(&x);
    std::vector<uint8_t> out(in.size());
    mapper.Map(in.data(), static_cast<int64_t>(in.size()), out.data());

    const size_t count = isFloat ? floats.size() : ints.size();
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* got = out.data() + (i * channels + ch) * bytes;
      if (isFloat) {
        float y = floats[i];
        // The peak is held as a float, the average in extended precision.
        const double held = average ? level : static_cast<float>(level);
        if (std::isfinite(y)) y = test::ReferenceScaleFloat(average, f, test::ReferenceExtended(held), y);
        ASSERT_EQ(std::memcmp(got, &y, 4), 0) << "sample " << floats[i] << " on channel " << ch;
      } else {
        const int64_t v = test::ReferenceScale(8 * bytes, average, f, static_cast<int64_t>(level), ints[i]);
        ASSERT_EQ(std::memcmp(got, &v, static_cast<size_t>(bytes)), 0) << "sample " << ints[i] << " on channel " << ch;
      }
    }
  }
}

constexpr auto kPeak = NormalizeMode::kPeak;
constexpr auto kAverage = NormalizeMode::kAverage;

INSTANTIATE_TEST_SUITE_P(
    Gains, WideMapperTest,
    testing::Values(WideCase{FormatKind::kStereo24, kPeak, 100, 8388607, 4194304},  // gain 1; the other 2
                    WideCase{FormatKind::kStereo24, kPeak, 80, 3000001, 8388608},
                    WideCase{FormatKind::kMono24, kAverage, 150, 123457, 0},
                    WideCase{FormatKind::kMono24, kPeak, 1, 1, 0},
                    WideCase{FormatKind::kStereo24, kAverage, 100, 0, 1000},  // level 0 keeps the samples
                    WideCase{FormatKind::kStereo32, kPeak, 100, 2147483648.0, 1073741824},
                    WideCase{FormatKind::kStereo32, kPeak, 75, 987654321, 3},
                    WideCase{FormatKind::kMono32, kAverage, 150, 12345, 0},
                    WideCase{FormatKind::kStereoFloat, kPeak, 100, 1.0, 0.25},
                    WideCase{FormatKind::kStereoFloat, kPeak, 80, 0.7071067690849304, 3e-5},
                    WideCase{FormatKind::kMonoFloat, kPeak, 150, 0.5, 0},  // gain 3: ties between floats
                    WideCase{FormatKind::kMonoFloat, kAverage, 150, 0.123456789, 0},
                    WideCase{FormatKind::kStereoFloat, kAverage, 100, 0, 2.5}));

// Every 24-bit value, through the vector loop and the portable one alike, at gains where a few
// scaled values lie closer to a whole number than double precision can tell (436214 and
// -5242885 among them).
TEST(WideMapperEveryValueTest, Every24BitValueMatchesReference) {
  for (const WideCase& c : {WideCase{FormatKind::kMono24, kPeak, 150, 654321, 0},
                            WideCase{FormatKind::kMono24, kAverage, 150, 1048577, 0}}) {
    SampleMapper mapper;
    mapper.Prepare(c.kind, c.mode, PercentFactor(c.percent), LevelsOf(c));
    const int64_t values = int64_t{1} << 24;
    std::vector<uint8_t> in(static_cast<size_t>(3 * values)), out(in.size());
    for (int64_t v = 0; v < values; ++v) std::memcpy(&in[static_cast<size_t>(3 * v)], &v, 3);
    mapper.Map(in.data(), static_cast<int64_t>(in.size()), out.data());
    const float f = test::ReferenceFactor(c.percent);
    for (int64_t v = 0; v < values; ++v) {
      const int64_t s = v >= values / 2 ? v - values : v;
      const int64_t expected = test::ReferenceScale(24, c.mode == kAverage, f, static_cast<int64_t>(c.left), s);
      int32_t got = 0;
      std::memcpy(&got, &out[static_cast<size_t>(3 * v)], 3);
      ASSERT_EQ((got << 8) >> 8, expected) << "sample " << s;
    }
  }
}

}  // namespace
}  // namespace sonaveld
