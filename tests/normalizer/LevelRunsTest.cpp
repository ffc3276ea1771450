#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

#include "NormalizeTestSupport.h"
#include "normalizer/LevelRuns.h"
#include "normalizer/SampleGain.h"
#include "support/FillingSink.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

using test::BuildWav;
using test::WavRecipe;

constexpr int64_t kHeader = 44;  // the canonical header BuildWav writes

SampleArea AreaOf(const std::vector<uint8_t>& file, int channels, int bits, int64_t end = -1) {
  return {kHeader, end < 0 ? static_cast<int64_t>(file.size()) : end, static_cast<int64_t>(file.size()),
          ClassifyFormat(bits, channels), {}, {}};
}

class LevelRunsTest : public testing::Test {
 protected:
  struct Result {
    Status measured;
    Status scaled;
    ChannelLevels levels;
    std::vector<uint8_t> samples;
  };

  Result RunBoth(const std::vector<uint8_t>& file, const SampleArea& area, NormalizeMode mode, int percent,
                 const RunHooks& hooks = {}) {
    MemorySource source(file);
    return RunBoth(source, area, mode, percent, hooks);
  }

  Result RunBoth(ByteSource& source, const SampleArea& area, NormalizeMode mode, int percent,
                 const RunHooks& hooks = {}) {
    Result result;
    result.measured = MeasureLevels(source, area, result.levels, hooks);
    const std::string path = dir_.File("out.raw");
    auto output = OutputFile::Create(path);
    EXPECT_TRUE(output);
    result.scaled = ScaleSamples(source, *output, area, mode, PercentFactor(percent), result.levels, hooks);
    EXPECT_TRUE(output->Commit());
    result.samples = test::ReadFileBytes(path);
    return result;
  }

  test::TempDir dir_;
};

uint8_t Byte(const std::vector<uint8_t>& bytes, int64_t at) { return bytes[static_cast<size_t>(at)]; }
int16_t Word(const std::vector<uint8_t>& bytes, int64_t at) {
  return static_cast<int16_t>(static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8));
}

TEST_F(LevelRunsTest, AverageExampleOf12044Bytes) {
  // Kind 2, D = 44, samples +1000 / -1000: N = 4, three full blocks of mean 1000, a 0-byte read.
  const auto file = BuildWav(test::Recipe(1, 16, 6000, [](int64_t f, int) { return f % 2 ? -1000 : 1000; }));
  ASSERT_EQ(file.size(), 12044u);
  const Result r = RunBoth(file, AreaOf(file, 1, 16), NormalizeMode::kAverage, 100);
  EXPECT_EQ(r.levels.channel[0].total, 3000);
  EXPECT_EQ(r.levels.channel[0].average, 750);
  EXPECT_EQ(r.levels.channel[0].peak, 1000);
  ASSERT_EQ(r.samples.size(), 12000u);
  EXPECT_EQ(Word(r.samples, 0), 5825);
  EXPECT_EQ(Word(r.samples, 2), -5826);
  EXPECT_EQ(Word(r.samples, 11998), -5826);
}

TEST_F(LevelRunsTest, EightBitMonoPeakExample) {
  // Bytes from 96 to 192: peak 64.
  const std::vector<int> bytes = {128, 160, 96, 192, 100, 150};
  const auto file = BuildWav(test::Recipe(1, 8, 6, [&](int64_t f, int) { return bytes[f]; }));
  const Result r = RunBoth(file, AreaOf(file, 1, 8), NormalizeMode::kPeak, 100);
  EXPECT_EQ(r.levels.channel[0].peak, 64);
  ASSERT_EQ(r.samples.size(), 6u);
  EXPECT_EQ(Byte(r.samples, 0), 128);
  EXPECT_EQ(Byte(r.samples, 1), 191);
  EXPECT_EQ(Byte(r.samples, 2), 64);
  EXPECT_EQ(Byte(r.samples, 3), 255);
}

TEST_F(LevelRunsTest, EightBitZeroByteIsPeak128) {
  const auto file = BuildWav(test::Recipe(2, 8, 10, [](int64_t f, int c) { return c == 1 && f == 3 ? 0 : 130; }));
  const Result r = RunBoth(file, AreaOf(file, 2, 8), NormalizeMode::kPeak, 100);
  EXPECT_EQ(r.levels.channel[0].peak, 2);
  EXPECT_EQ(r.levels.channel[1].peak, 128);
}

TEST_F(LevelRunsTest, ShortFinalBlockCountsForPeakButNotAverage) {
  // 2100 stereo frames: two full blocks of level 100, then a short block holding the loudest sample.
  const auto file = BuildWav(test::Recipe(2, 16, 2100, [](int64_t f, int) {
                                return f == 2050 ? -20000 : 100;
                              }));
  const Result r = RunBoth(file, AreaOf(file, 2, 16), NormalizeMode::kPeak, 100);
  EXPECT_EQ(r.levels.channel[0].peak, 20000);
  EXPECT_EQ(r.levels.channel[0].total, 200);                         // two full-block means of 100
  EXPECT_EQ(r.levels.channel[0].average, 200 / (8444 / 4000 + 1));  // N counts the header and short block
  EXPECT_EQ(Word(r.samples, 0), 163);  // 100 scaled by 32767 / 20000
}

TEST_F(LevelRunsTest, SilentChannelKeepsItsSamples) {
  const auto file = BuildWav(test::Recipe(2, 16, 3000, [](int64_t f, int c) { return c == 0 ? 0 : static_cast<int>(f % 50); }));
  for (auto mode : {NormalizeMode::kPeak, NormalizeMode::kAverage}) {
    const Result r = RunBoth(file, AreaOf(file, 2, 16), mode, 150);
    EXPECT_EQ(r.levels.channel[0].peak, 0);
    for (int64_t i = 0; i < 3000; ++i) ASSERT_EQ(Word(r.samples, 4 * i), 0);
    EXPECT_NE(Word(r.samples, 4 * 40 + 2), 40);  // the other channel is scaled
  }
}

// Levels of the 24-bit, 32-bit and float kinds on files whose levels are worked out by hand:
// blocks of 2000 samples, 64-bit sums, the short block for the peak only, and floats that are not
// finite counting for neither level (an average is total / N, not halved).
struct WideLevelCase {
  const char* name;
  FormatKind kind;
  int64_t frames;
  double (*sample)(int64_t frame, int channel);
  double peak[2];
  double total[2];
  int64_t blocks;  // N = S div B + 1
};

class WideLevelTest : public LevelRunsTest, public testing::WithParamInterface<WideLevelCase> {};

TEST_P(WideLevelTest, MeasuresTheWorkedLevels) {
  const WideLevelCase& c = GetParam();
  WavRecipe recipe = test::Recipe(ChannelsOf(c.kind), 8 * SampleBytes(c.kind), c.frames,
                                  [&c](int64_t f, int ch) { return static_cast<int>(c.sample(f, ch)); });
  if (IsFloatKind(c.kind)) {
    recipe.formatTag = 3;
    recipe.floatSample = [&c](int64_t f, int ch) { return static_cast<float>(c.sample(f, ch)); };
  }
  const auto file = BuildWav(recipe);
  ASSERT_EQ(static_cast<int64_t>(file.size()) / BlockBytes(c.kind) + 1, c.blocks);
  const SampleArea area{kHeader, static_cast<int64_t>(file.size()), static_cast<int64_t>(file.size()), c.kind, {}, {}};
  MemorySource source(file);
  ChannelLevels levels;
  ASSERT_TRUE(MeasureLevels(source, area, levels, {}).ok());
  for (int ch = 0; ch < ChannelsOf(c.kind); ++ch) {
    const ChannelLevel& l = levels.channel[ch];
    if (IsFloatKind(c.kind)) {
      EXPECT_EQ(l.floatPeak, c.peak[ch]);
      const auto total = test::ReferenceExtended(c.total[ch]);
      EXPECT_TRUE(test::SameValue(l.floatTotal, total)) << ch;
      EXPECT_TRUE(test::SameValue(l.floatAverage, total / test::ReferenceExtended(c.blocks))) << ch;
    } else {
      EXPECT_EQ(l.peak, c.peak[ch]);
      EXPECT_EQ(l.total, c.total[ch]);
      EXPECT_EQ(l.average, static_cast<int64_t>(c.total[ch]) / c.blocks);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, WideLevelTest,
    testing::Values(
        WideLevelCase{"Pcm24MinusFullScale", FormatKind::kMono24, 4000, [](int64_t, int) { return -8388608.0; },
                      {8388608, 0}, {2 * 8388608.0, 0}, 3},
        // A block mean of 2^31 - 1 over 1000 samples: the sum needs 64 bits.
        WideLevelCase{"Pcm32FullScaleBothWays", FormatKind::kStereo32, 3000,
                      [](int64_t, int ch) { return ch == 0 ? 2147483647.0 : -2147483648.0; },
                      {2147483647.0, 2147483648.0}, {3 * 2147483647.0, 3 * 2147483648.0}, 4},
        WideLevelCase{"Pcm24ShortBlockCountsForThePeak", FormatKind::kStereo24, 2100,
                      [](int64_t f, int ch) { return f == 2050 && ch == 0 ? -8000000.0 : 1000.0; },
                      {8000000, 1000}, {2000, 2000}, 3},
        WideLevelCase{"FloatNaNAndInfinityNotMeasured", FormatKind::kStereoFloat, 2000,
                      [](int64_t f, int ch) {
                        if (ch == 0) return f % 2 == 0 ? 0.5 : std::nan("");
                        return f % 2 == 0 ? std::numeric_limits<double>::infinity() : -0.25;
                      },
                      {0.5, 0.25}, {1.0, 0.5}, 3},
        WideLevelCase{"FloatBlockWithoutFiniteSamples", FormatKind::kMonoFloat, 4000,
                      [](int64_t f, int) { return f < 2000 ? std::nan("") : 0.75; }, {0.75, 0}, {0.75, 0}, 3}),
    [](const testing::TestParamInfo<WideLevelCase>& info) { return std::string(info.param.name); });

TEST_F(LevelRunsTest, UnpairedLastByteOfSixteenBitAreaIsCopied) {
  auto file = BuildWav(test::Recipe(1, 16, 10, [](int64_t, int) { return 1000; }));
  file.push_back(0x5A);  // an odd byte at the end of the sample area
  const Result r = RunBoth(file, AreaOf(file, 1, 16), NormalizeMode::kPeak, 100);
  ASSERT_EQ(r.samples.size(), 21u);
  EXPECT_EQ(Word(r.samples, 0), 32767);
  EXPECT_EQ(Byte(r.samples, 20), 0x5A);
}

// The runs against the literal one-block-per-read model, over sizes around the block and
// read-group boundaries, for every kind, both modes and four percentages; the larger areas are
// read through a buffer (a source that cannot show its bytes in place), the others in place.
struct ReferenceCase {
  FormatKind kind;
  int64_t dataBytes;
  NormalizeMode mode;
  int percent;
};

// A varying level (the amplitude steps every 700 frames) up to about half of full scale; float
// files hold a NaN and an infinity now and then.
WavRecipe VaryingRecipe(FormatKind kind, int64_t frames) {
  const int bits = 8 * SampleBytes(kind);
  auto level = [](int64_t f, int ch) {
    const int v = static_cast<int>((f * 37 + ch * 11) % 201) - 100;
    return v * (1 + static_cast<int>(f / 700 % 5));  // -500..500
  };
  WavRecipe recipe = test::Recipe(ChannelsOf(kind), bits, frames, [=](int64_t f, int ch) -> int {
    if (bits == 8) return 128 + level(f, ch) / 8;
    return static_cast<int>(level(f, ch) * ((int64_t{1} << (bits - 2)) / 500));
  });
  if (IsFloatKind(kind)) {
    recipe.formatTag = 3;
    recipe.floatSample = [=](int64_t f, int ch) {
      if (f % 997 == 5) return ch == 0 ? std::nanf("") : -std::numeric_limits<float>::infinity();
      return static_cast<float>(level(f, ch)) / 1000.0f;
    };
  }
  return recipe;
}

// A source that can only be read, never shown in place.
class ReadOnlySource final : public ByteSource {
 public:
  explicit ReadOnlySource(const std::vector<uint8_t>& bytes) : inner_(bytes) {}
  int64_t Size() override { return inner_.Size(); }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t n) override { return inner_.ReadAt(offset, buffer, n); }

 private:
  MemorySource inner_;
};

class ReferenceTest : public LevelRunsTest, public testing::WithParamInterface<ReferenceCase> {};

TEST_P(ReferenceTest, MatchesOneBlockPerReadModel) {
  const ReferenceCase& c = GetParam();
  const int64_t frames = c.dataBytes / FrameBytes(c.kind);
  auto file = BuildWav(VaryingRecipe(c.kind, frames));
  file.resize(kHeader + static_cast<size_t>(c.dataBytes), 0x81);  // the bytes of a part frame
  const SampleArea area{kHeader, static_cast<int64_t>(file.size()), static_cast<int64_t>(file.size()), c.kind, {}, {}};
  const auto expected = test::ReferenceRuns(file, area, c.mode, c.percent);
  const bool buffered = c.dataBytes >= BlockBytes(c.kind) * kBlocksPerRead;
  MemorySource inPlace(file);
  ReadOnlySource readOnly(file);
  const Result r = RunBoth(buffered ? static_cast<ByteSource&>(readOnly) : inPlace, area, c.mode, c.percent);
  EXPECT_TRUE(r.measured.ok());
  EXPECT_TRUE(r.scaled.ok());
  for (int ch = 0; ch < 2; ++ch) EXPECT_TRUE(test::SameLevel(r.levels.channel[ch], expected.levels.channel[ch])) << ch;
  ASSERT_EQ(r.samples.size(), static_cast<size_t>(area.end - area.offset));
  EXPECT_TRUE(r.samples == expected.samples);
}

std::vector<ReferenceCase> ReferenceCases() {
  std::vector<ReferenceCase> cases;
  for (int k = 1; k <= 10; ++k) {
    const auto kind = static_cast<FormatKind>(k);
    const int64_t b = BlockBytes(kind), s = SampleBytes(kind), group = b * kBlocksPerRead;
    for (int64_t size : {2 * s, b - 2 * s, b, 2 * b, 3 * b, 3 * b + 2 * s + 1, group, group + b, 2 * group + b - 2 * s}) {
      for (auto mode : {NormalizeMode::kPeak, NormalizeMode::kAverage}) {
        for (int percent : {1, 80, 100, 150}) cases.push_back({kind, size, mode, percent});
      }
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(AllKinds, ReferenceTest, testing::ValuesIn(ReferenceCases()));

TEST_F(LevelRunsTest, ExactMultipleOfBlockEndsWithEmptyRead) {
  const auto file = BuildWav(test::Recipe(2, 16, 3000));  // 12000 bytes: three blocks
  const SampleArea area = AreaOf(file, 2, 16);
  std::vector<std::pair<int64_t, int64_t>> progress;
  int stopTests = 0;
  RunHooks hooks;
  hooks.stopTest = [&] { ++stopTests; return false; };
  hooks.progress = [&](int64_t k, int64_t max) { progress.emplace_back(k, max); };
  std::vector<std::pair<int64_t, int64_t>> measured;
  hooks.measureProgress = [&](int64_t k, int64_t blocks) { measured.emplace_back(k, blocks); };
  const Result r = RunBoth(file, area, NormalizeMode::kPeak, 100, hooks);
  EXPECT_EQ(stopTests, 8);  // four reads per run, the last one empty
  const std::vector<std::pair<int64_t, int64_t>> expected = {{0, 2}, {1, 2}, {2, 2}, {3, 2}};
  EXPECT_EQ(progress, expected);  // S = 12044: maximum S div B - 1 = 2; the empty read is index 3
  EXPECT_EQ(measured, (std::vector<std::pair<int64_t, int64_t>>{{0, 4}, {1, 4}, {2, 4}, {3, 4}}));
  EXPECT_EQ(r.samples.size(), 12000u);
}

TEST_F(LevelRunsTest, FileShorterThanOneBlock) {
  const auto file = BuildWav(test::Recipe(1, 8, 500));
  std::vector<std::pair<int64_t, int64_t>> progress;
  RunHooks hooks;
  hooks.progress = [&](int64_t k, int64_t max) { progress.emplace_back(k, max); };
  const Result r = RunBoth(file, AreaOf(file, 1, 8), NormalizeMode::kAverage, 100, hooks);
  EXPECT_EQ(r.levels.channel[0].total, 0);  // no full block: the average is 0 and the samples stay
  EXPECT_EQ(r.samples, std::vector<uint8_t>(file.begin() + kHeader, file.end()));
  EXPECT_EQ(progress, (std::vector<std::pair<int64_t, int64_t>>{{0, -1}}));
}

TEST_F(LevelRunsTest, AreaEndsBeforeTrailingBytes) {
  auto file = BuildWav(test::Recipe(2, 16, 100, [](int64_t, int) { return 50; }, {}, test::Chunk("LIST", std::vector<uint8_t>(40, 0x7F))));
  const Result r = RunBoth(file, AreaOf(file, 2, 16, kHeader + 400), NormalizeMode::kPeak, 100);
  EXPECT_EQ(r.levels.channel[0].peak, 50);  // the chunk's bytes are not counted
  EXPECT_EQ(r.samples.size(), 400u);
}

// A stop at block k: nothing of block k is used, the run ends at once.
class StopTest : public LevelRunsTest, public testing::WithParamInterface<int> {};

TEST_P(StopTest, EndsAtTheBlockWhereStopIsAnswered) {
  const int stopAt = GetParam();
  const auto file = BuildWav(test::Recipe(2, 16, 5000));  // 5 blocks + empty read
  const SampleArea area = AreaOf(file, 2, 16);
  MemorySource source(file);
  int calls = 0;
  RunHooks hooks;
  hooks.stopTest = [&] { return calls++ == stopAt; };
  ChannelLevels levels;
  EXPECT_TRUE(MeasureLevels(source, area, levels, hooks).stopped());
  EXPECT_EQ(calls, stopAt + 1);
  EXPECT_EQ(levels.channel[0].total == 0, stopAt == 0);

  calls = 0;
  int progressCalls = 0;
  hooks.progress = [&](int64_t k, int64_t) {
    EXPECT_EQ(k, progressCalls++);
    EXPECT_EQ(calls, k);  // progress comes before the stop test of the same block
  };
  auto output = OutputFile::Create(dir_.File("stopped.raw"));
  EXPECT_TRUE(ScaleSamples(source, *output, area, NormalizeMode::kPeak, 1.0f, levels, hooks).stopped());
  EXPECT_EQ(progressCalls, stopAt + 1);
  EXPECT_LE(output->written(), stopAt * 4000);
}

INSTANTIATE_TEST_SUITE_P(Blocks, StopTest, testing::Values(0, 1, 4, 5));

TEST_F(LevelRunsTest, IdleFollowsFullBlocksAtMostEvery20Ms) {
  const auto file = BuildWav(test::Recipe(1, 16, 7000));  // 3 full blocks + short
  RunHooks hooks;
  int idles = 0;
  hooks.stopTest = [] { std::this_thread::sleep_for(std::chrono::milliseconds(25)); return false; };
  hooks.idle = [&] { ++idles; };
  MemorySource source(file);
  ChannelLevels levels;
  MeasureLevels(source, AreaOf(file, 1, 16), levels, hooks);
  EXPECT_EQ(idles, 3);  // slow blocks: once after each full block, never after the short one

  idles = 0;
  hooks.stopTest = {};
  const auto big = BuildWav(test::Recipe(1, 16, 200000));  // 100 blocks, fast
  MemorySource bigSource(big);
  MeasureLevels(bigSource, AreaOf(big, 1, 16), levels, hooks);
  EXPECT_LT(idles, 100);
}

// A source whose reads fail after a given offset.
class FailingSource final : public ByteSource {
 public:
  FailingSource(std::vector<uint8_t> bytes, int64_t failFrom) : inner_(std::move(bytes)), failFrom_(failFrom) {}
  int64_t Size() override { return inner_.Size(); }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t n) override {
    return offset + n > failFrom_ ? -1 : inner_.ReadAt(offset, buffer, n);
  }

 private:
  MemorySource inner_;
  int64_t failFrom_;
};

TEST_F(LevelRunsTest, ReadAndWriteFailuresAreReported) {
  const auto file = BuildWav(test::Recipe(2, 16, 2000));
  SampleArea area = AreaOf(file, 2, 16);
  area.path = "take.wav";
  FailingSource source(file, 100);
  ChannelLevels levels;
  EXPECT_EQ(MeasureLevels(source, area, levels, {}).message(), "ファイル take.wav は開けません");

  MemorySource good(file);
  auto output = OutputFile::Create(dir_.File("full.raw"),
                                   [](const std::string&) { return std::make_unique<test::FillingSink>(); });
  ASSERT_TRUE(output);
  EXPECT_EQ(ScaleSamples(good, *output, area, NormalizeMode::kPeak, 1.0f, levels, {}).message(),
            dir_.File("full.raw") + "に書き込めません。");
}

// The run ends at the first failed write, not at the end of the file: the blocks read after it are
// at most the writer's two buffers of 256 blocks (the one being written when it failed, and the
// one filled meanwhile).
TEST_F(LevelRunsTest, ScalingStopsAtTheFirstFailedWrite) {
  const auto file = BuildWav(test::Recipe(1, 16, 2000 * 1000));  // 1000 blocks
  MemorySource source(file);
  ChannelLevels levels;
  auto output = OutputFile::Create(dir_.File("full.raw"),
                                   [](const std::string&) { return std::make_unique<test::FillingSink>(); });
  int64_t blocks = 0;
  RunHooks hooks;
  hooks.progress = [&](int64_t, int64_t) { ++blocks; };
  EXPECT_TRUE(ScaleSamples(source, *output, AreaOf(file, 1, 16), NormalizeMode::kPeak, 1.0f, levels, hooks).failed());
  EXPECT_LE(blocks, 2 * 256 + 1);
}

}  // namespace
}  // namespace sonaveld
