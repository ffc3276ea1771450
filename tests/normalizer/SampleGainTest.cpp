#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "GainReference.h"
#include "normalizer/SampleGain.h"

namespace sonaveld {
namespace {

struct ScaleCase {
  const char* name;
  bool sixteenBit;
  NormalizeMode mode;
  int percent;
  int32_t level;
  int sample;
  int expected;
};

class ScaleSampleTest : public testing::TestWithParam<ScaleCase> {};

// The engine and the test reference alike.
TEST_P(ScaleSampleTest, GivesTheWorkedResult) {
  const ScaleCase& c = GetParam();
  EXPECT_EQ(ScaleSample(c.sixteenBit, c.mode, PercentFactor(c.percent), c.level, c.sample), c.expected);
  const bool average = c.mode == NormalizeMode::kAverage;
  EXPECT_EQ(test::ReferenceScale(c.sixteenBit ? 16 : 8, average, test::ReferenceFactor(c.percent), c.level, c.sample),
            c.expected);
}

constexpr auto kPeak = NormalizeMode::kPeak;
constexpr auto kAverage = NormalizeMode::kAverage;

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, ScaleSampleTest,
    testing::Values(
        ScaleCase{"Peak16384Plus1000", true, kPeak, 100, 16384, 1000, 1999},
        ScaleCase{"Peak16384Minus1000FloorsDown", true, kPeak, 100, 16384, -1000, -2000},
        ScaleCase{"Peak16384AtPeak", true, kPeak, 100, 16384, 16384, 32767},
        ScaleCase{"Peak16384AtMinusPeak", true, kPeak, 100, 16384, -16384, -32767},
        // 32767 / 100 in extended precision lies just above 327.67.
        ScaleCase{"Peak100Plus100", true, kPeak, 100, 100, 100, 32767},
        ScaleCase{"Peak100Minus100", true, kPeak, 100, 100, -100, -32768},
        ScaleCase{"Percent150Clamps", true, kPeak, 150, 16384, 16384, 32767},
        ScaleCase{"Percent150Negative", true, kPeak, 150, 16384, -16384, -32768},
        ScaleCase{"Percent80", true, kPeak, 80, 16384, 16384, 26213},
        ScaleCase{"Percent1", true, kPeak, 1, 16384, 16384, 327},
        ScaleCase{"Percent1Negative", true, kPeak, 1, 16384, -16384, -328},
        ScaleCase{"Average750Plus1000", true, kAverage, 100, 750, 1000, 5825},
        ScaleCase{"Average750Minus1000", true, kAverage, 100, 750, -1000, -5826},
        ScaleCase{"EightBitPeak64Plus32", false, kPeak, 100, 64, 32, 63},
        ScaleCase{"EightBitPeak64Minus32", false, kPeak, 100, 64, -32, -64},
        ScaleCase{"EightBitPeak64AtPeak", false, kPeak, 100, 64, 64, 127},
        ScaleCase{"EightBitPeak64Zero", false, kPeak, 100, 64, 0, 0},
        ScaleCase{"EightBitPeak128Minus128", false, kPeak, 100, 128, -128, -127},
        ScaleCase{"EightBitAverage5", false, kAverage, 100, 5, 10, 20},
        // (q x s) x f = 127; q x (s x f) would give 126.
        ScaleCase{"EightBitPercent75ProductOrder", false, kPeak, 75, 15, 20, 127},
        ScaleCase{"EightBitAverageClamps", false, kAverage, 150, 1, -128, -128}),
    [](const testing::TestParamInfo<ScaleCase>& info) { return std::string(info.param.name); });

// The 24-bit, 32-bit and float kinds: full scale both ways, clamping, NaN and infinities (kept),
// and a level of 0 (samples kept). The engine's exact gain and the test reference alike.
struct WideScaleCase {
  const char* name;
  FormatKind kind;
  NormalizeMode mode;
  int percent;
  double level;
  double sample;
  double expected;
};

class WideScaleTest : public testing::TestWithParam<WideScaleCase> {};

TEST_P(WideScaleTest, GivesTheWorkedResult) {
  const WideScaleCase& c = GetParam();
  const bool average = c.mode == NormalizeMode::kAverage;
  const ChannelGain gain(c.kind, c.mode, PercentFactor(c.percent), Extended(c.level));
  const float f = test::ReferenceFactor(c.percent);
  if (IsFloatKind(c.kind)) {
    const auto x = static_cast<float>(c.sample);
    const float engine = std::isfinite(x) ? gain.Scale(x) : x;
    const float reference = std::isfinite(x) ? test::ReferenceScaleFloat(average, f, c.level, x) : x;
    for (float y : {engine, reference}) {
      EXPECT_TRUE(y == static_cast<float>(c.expected) || (std::isnan(y) && std::isnan(c.expected))) << y;
      EXPECT_EQ(std::signbit(y), std::signbit(c.expected));
    }
    return;
  }
  const auto s = static_cast<int64_t>(c.sample);
  EXPECT_EQ(gain.Scale(s), static_cast<int64_t>(c.expected));
  EXPECT_EQ(test::ReferenceScale(8 * SampleBytes(c.kind), average, f, static_cast<int64_t>(c.level), s),
            static_cast<int64_t>(c.expected));
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, WideScaleTest,
    testing::Values(
        // Peak 2^23 (a sample of -2^23): q = (2^23 - 1) / 2^23 exactly.
        WideScaleCase{"Pcm24MinusFullScale", FormatKind::kMono24, kPeak, 100, 8388608, -8388608, -8388607},
        WideScaleCase{"Pcm24FullScaleFloorsDown", FormatKind::kMono24, kPeak, 100, 8388608, 8388607, 8388606},
        WideScaleCase{"Pcm24ClampsHigh", FormatKind::kStereo24, kPeak, 150, 8388607, 8388607, 8388607},
        WideScaleCase{"Pcm24ClampsLow", FormatKind::kStereo24, kPeak, 150, 8388607, -8388608, -8388608},
        WideScaleCase{"Pcm24Percent80", FormatKind::kMono24, kPeak, 80, 4194304, 4194304, 6710885},
        WideScaleCase{"Pcm24LevelZeroKeeps", FormatKind::kMono24, kAverage, 150, 0, -8388608, -8388608},
        // (2^31 - 1)^2 / 2^31 = 2^31 - 2 + 2^-31: exact in 64 bits, floored.
        WideScaleCase{"Pcm32FullScale", FormatKind::kStereo32, kPeak, 100, 2147483648.0, 2147483647, 2147483646},
        WideScaleCase{"Pcm32MinusFullScale", FormatKind::kMono32, kPeak, 100, 2147483648.0, -2147483648.0, -2147483647},
        WideScaleCase{"Pcm32AverageClamps", FormatKind::kMono32, kAverage, 100, 1, -2147483648.0, -2147483648.0},
        WideScaleCase{"FloatPeakHalf", FormatKind::kStereoFloat, kPeak, 100, 0.5, -0.25, -0.5},
        WideScaleCase{"FloatClampsAtOne", FormatKind::kStereoFloat, kPeak, 150, 0.5, 0.5, 1.0},
        WideScaleCase{"FloatClampsAtMinusOne", FormatKind::kMonoFloat, kPeak, 150, 0.5, -0.5, -1.0},
        WideScaleCase{"FloatMinusZeroStays", FormatKind::kMonoFloat, kPeak, 100, 0.5, -0.0, -0.0},
        WideScaleCase{"FloatNaNStays", FormatKind::kMonoFloat, kPeak, 100, 0.5, kNaN, kNaN},
        WideScaleCase{"FloatInfinityStays", FormatKind::kMonoFloat, kPeak, 100, 0.5, -kInf, -kInf},
        WideScaleCase{"FloatLevelZeroKeeps", FormatKind::kMonoFloat, kAverage, 100, 0, 3.0, 3.0},
        // Average mode: a sample at the level comes to 1 / 7.5 = 0.1333..., rounded to a float.
        WideScaleCase{"FloatAverage", FormatKind::kMonoFloat, kAverage, 100, 0.25, 0.25, 0.13333334028720856}),
    [](const testing::TestParamInfo<WideScaleCase>& info) { return std::string(info.param.name); });

TEST(PercentFactorTest, IsTheExtendedProductRoundedToFloat) {
  for (float (*factor)(int) : {&PercentFactor, &test::ReferenceFactor}) {
    EXPECT_EQ(factor(100), 1.0f);
    EXPECT_EQ(factor(150), 1.5f);
    EXPECT_EQ(static_cast<double>(factor(80)), 0.800000011920928955078125);
    EXPECT_EQ(factor(1), 0.01f);
  }
  for (int percent = 1; percent <= 150; ++percent) EXPECT_EQ(PercentFactor(percent), test::ReferenceFactor(percent));
}

TEST(ScaleSampleTest, ExtendedPrecisionDiffersFromDouble) {
  // The same steps in double precision give -32767 for this sample: the extended type matters.
  const double r = (32767.0 / 100.0) * -100.0;
  EXPECT_EQ(static_cast<int>(std::floor(r)), -32767);
  EXPECT_EQ(ScaleSample(true, kPeak, 1.0f, 100, -100), -32768);
}

// The lookup table must match the test reference for every possible sample value.
struct TableCase {
  bool sixteenBit;
  NormalizeMode mode;
  int percent;
  int32_t level;
};

class GainTableTest : public testing::TestWithParam<TableCase> {};

TEST_P(GainTableTest, MatchesReferenceForEveryValue) {
  const TableCase& c = GetParam();
  const bool average = c.mode == NormalizeMode::kAverage;
  const float f = test::ReferenceFactor(c.percent);
  auto table = std::make_unique<GainTable>();
  table->Build(c.sixteenBit, c.mode, PercentFactor(c.percent), c.level);
  if (c.sixteenBit) {
    for (int s = -32768; s <= 32767; ++s) {
      const auto raw = static_cast<uint16_t>(static_cast<int16_t>(s));
      const int expected = test::ReferenceScale(16, average, f, c.level, s);
      ASSERT_EQ(static_cast<int16_t>(table->Map16(raw)), expected) << "sample " << s;
    }
  } else {
    for (int raw = 0; raw < 256; ++raw) {
      const int expected = test::ReferenceScale(8, average, f, c.level, raw - 128) + 128;
      ASSERT_EQ(table->Map8(static_cast<uint8_t>(raw)), expected) << "byte " << raw;
    }
  }
}

std::vector<TableCase> AllTableCases() {
  std::vector<TableCase> cases;
  for (bool sixteen : {true, false}) {
    for (auto mode : {kPeak, kAverage}) {
      for (int percent : {1, 80, 100, 150}) {
        for (int32_t level : {0, 1, 7, 100, 128, 750, 16384, 32768}) {
          if (!sixteen && level > 128) continue;
          cases.push_back({sixteen, mode, percent, level});
        }
      }
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryKindModePercent, GainTableTest, testing::ValuesIn(AllTableCases()));

TEST(GainTableTest, SilentChannelKeepsItsSamples) {
  auto table = std::make_unique<GainTable>();
  table->Build(true, kPeak, 1.0f, 0);
  EXPECT_EQ(table->Map16(0x8000), 0x8000);
  EXPECT_EQ(table->Map16(1234), 1234);
  table->Build(false, kAverage, 1.5f, 0);
  EXPECT_EQ(table->Map8(0), 0);
  EXPECT_EQ(table->Map8(200), 200);
}

}  // namespace
}  // namespace sonaveld
