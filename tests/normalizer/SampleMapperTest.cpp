#include <gtest/gtest.h>

#include <cstring>

#include "GainReference.h"
#include "normalizer/SampleKernels.h"
#include "normalizer/SampleMapper.h"

namespace sonaveld {
namespace {

struct MapperCase {
  FormatKind kind;
  NormalizeMode mode;
  int percent;
  int32_t left;   // the chosen level of each channel
  int32_t right;
};

ChannelLevels LevelsOf(const MapperCase& c) {
  ChannelLevels levels;
  levels.channel[0].peak = levels.channel[0].average = c.left;
  levels.channel[1].peak = levels.channel[1].average = c.right;
  return levels;
}

class SampleMapperTest : public testing::TestWithParam<MapperCase> {};

// Every sample value on every channel, through the fast path where it is used and the tables
// elsewhere, must come out as the test reference gives it.
TEST_P(SampleMapperTest, EverySampleValueMatchesReference) {
  const MapperCase& c = GetParam();
  const bool stereo = IsStereo(c.kind);
  SampleMapper mapper;
  mapper.Prepare(c.kind, c.mode, PercentFactor(c.percent), LevelsOf(c));
  const bool average = c.mode == NormalizeMode::kAverage;
  const float f = test::ReferenceFactor(c.percent);

  const int64_t samples = 65536 * 2 + 3;  // every value twice, and a tail off the groups of eight
  std::vector<uint8_t> in(static_cast<size_t>(samples * 2 + 1));
  for (int64_t i = 0; i < samples; ++i) {
    const auto raw = static_cast<uint16_t>(i * 40503);  // odd multiplier: each value on both parities
    std::memcpy(in.data() + 2 * i, &raw, 2);
  }
  in.back() = 0xA5;  // an unpaired last byte
  std::vector<uint8_t> out(in.size());
  mapper.Map(in.data(), static_cast<int64_t>(in.size()), out.data());

  for (int64_t i = 0; i < samples; ++i) {
    int16_t s, v;
    std::memcpy(&s, in.data() + 2 * i, 2);
    std::memcpy(&v, out.data() + 2 * i, 2);
    const int32_t level = stereo && i % 2 == 1 ? c.right : c.left;
    const int expected = test::ReferenceScale(16, average, f, level, s);
    ASSERT_EQ(v, expected) << "sample " << s << " at " << i;
  }
  EXPECT_EQ(out.back(), 0xA5);
}

constexpr auto kPeak = NormalizeMode::kPeak;
constexpr auto kAverage = NormalizeMode::kAverage;

INSTANTIATE_TEST_SUITE_P(
    Gains, SampleMapperTest,
    testing::Values(MapperCase{FormatKind::kStereo16, kPeak, 100, 16384, 13107},
                    MapperCase{FormatKind::kStereo16, kPeak, 80, 100, 32768},
                    MapperCase{FormatKind::kStereo16, kPeak, 150, 1, 0},
                    MapperCase{FormatKind::kStereo16, kPeak, 1, 3, 29999},
                    MapperCase{FormatKind::kStereo16, kAverage, 100, 750, 4096},
                    MapperCase{FormatKind::kStereo16, kAverage, 150, 1, 7},
                    MapperCase{FormatKind::kMono16, kPeak, 100, 100, 0},
                    MapperCase{FormatKind::kMono16, kPeak, 80, 12345, 0},
                    MapperCase{FormatKind::kMono16, kAverage, 1, 2000, 0},
                    MapperCase{FormatKind::kMono16, kAverage, 100, 750, 0}));

TEST(SampleMapperFastPathTest, IsTakenForTypicalLevelsWhereAvailable) {
  SampleMapper mapper;
  ChannelLevels levels;
  levels.channel[0].peak = 13107;
  levels.channel[1].peak = 20000;
  mapper.Prepare(FormatKind::kStereo16, kPeak, PercentFactor(100), levels);
  EXPECT_EQ(mapper.fast(), FastMapAvailable());
  mapper.Prepare(FormatKind::kStereo8, kPeak, PercentFactor(100), levels);
  EXPECT_FALSE(mapper.fast());  // the 8-bit table is small enough on its own
#if defined(SONAVELD_NO_SIMD)
  EXPECT_FALSE(FastMapAvailable());  // the build without the AVX2 kernels maps by the tables alone
#endif
}

}  // namespace
}  // namespace sonaveld
