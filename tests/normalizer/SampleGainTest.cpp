#include <gtest/gtest.h>

#include <cmath>

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
