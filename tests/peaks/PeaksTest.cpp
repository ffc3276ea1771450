// The peaks engine: block summary against a direct min/max, its memory budget, and the worker
// thread's stop and failure paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>

#include "peaks/PeakSummary.h"
#include "peaks/SampleScan.h"
#include "peaks/SummaryBuilder.h"
#include "support/WavBuilder.h"

using namespace sonaveld;
using namespace sonaveld::peaks;

namespace {

WaveHeader Probed(const std::vector<uint8_t>& bytes) {
  MemorySource source(bytes);
  return ProbeWave(source).header;
}

struct Layout {
  int channels;
  int bits;
  bool isFloat;
};

// Random samples whose loudness changes every few hundred frames, so that ranges differ in their
// extremes; values[f * channels + c]. Float samples go up to 1.5 and now and then are NaN or ±inf.
std::vector<double> LoudnessSteps(std::mt19937_64& rng, int64_t frames, const Layout& l) {
  const double full = l.isFloat ? 1.5 : std::ldexp(1.0, l.bits - 1);
  const double odd[] = {std::nan(""), HUGE_VAL, -HUGE_VAL};
  std::vector<double> values;
  double amplitude = 0;
  for (int64_t f = 0; f < frames; ++f) {
    if (rng() % 300 == 0) amplitude = full * static_cast<double>(rng() % 1025) / 1024;
    for (int c = 0; c < l.channels; ++c) {
      const double v = amplitude * (static_cast<double>(rng() % 2049) / 1024 - 1);
      if (l.isFloat) values.push_back(rng() % 499 == 0 ? odd[rng() % 3] : static_cast<float>(v));
      else if (l.bits == 8) values.push_back(std::clamp(128 + std::round(v), 0.0, 255.0));
      else values.push_back(std::clamp(std::round(v), -full, full - 1));
    }
  }
  return values;
}

// A sample on the lanes' scale: 8-bit and 16-bit values as they are, 24-bit and 32-bit integers
// divided down to 16 bits truncating toward zero, floats scaled by 32768, truncated and held to
// 16 bits (NaN: 0).
int16_t LaneOf(double v, const Layout& l) {
  if (l.isFloat) return std::isnan(v) ? 0 : static_cast<int16_t>(std::trunc(std::clamp(v * 32768, -32768.0, 32767.0)));
  return static_cast<int16_t>(std::trunc(v / std::ldexp(1.0, std::max(l.bits, 16) - 16)));
}

WaveHeader Header(FormatKind kind, int64_t dataBytes) {
  WaveHeader h;
  h.Kind = kind;
  h.DataOffset = 44;
  h.DataEnd = h.FileSize = 44 + dataBytes;
  return h;
}

FramePeaks DirectPeaks(const std::vector<double>& values, const Layout& l, int64_t frames, int64_t first, int64_t last) {
  FramePeaks peaks;
  for (int64_t f = std::max<int64_t>(first, 1); f <= std::min(last, frames); ++f)
    for (int c = 0; c < l.channels; ++c) peaks.channel[c].Add(LaneOf(values[(f - 1) * l.channels + c], l));
  return peaks;
}

}  // namespace

// Any frame range, with partial blocks at either end or not, gives the min/max read off the
// samples themselves.
TEST(PeakSummaryTest, RangesMatchTheDirectMinMax) {
  std::mt19937_64 rng(14);
  for (const Layout& l : {Layout{2, 16, false}, {1, 16, false}, {2, 8, false}, {1, 8, false}, {2, 24, false},
                          {1, 24, false}, {2, 32, false}, {1, 32, false}, {2, 32, true}, {1, 32, true},
                          {3, 16, false}, {4, 16, false}, {5, 8, false}, {6, 24, false}, {3, 24, false},
                          {7, 32, false}, {6, 32, true}, {8, 16, false}, {7, 8, false}, {5, 32, true}}) {
    SCOPED_TRACE(testing::Message() << l.channels << " channels, " << l.bits << " bits" << (l.isFloat ? " float" : ""));
    const int64_t frames = 3000 + static_cast<int64_t>(rng() % 20000);
    const std::vector<double> values = LoudnessSteps(rng, frames, l);
    test::WavRecipe r;
    r.channels = l.channels, r.bits = l.bits, r.frames = frames, r.formatTag = l.isFloat ? 3 : 1;
    r.sample = [&](int64_t f, int c) { return static_cast<int>(values[f * l.channels + c]); };
    r.floatSample = [&](int64_t f, int c) { return static_cast<float>(values[f * l.channels + c]); };
    const std::vector<uint8_t> bytes = test::BuildWav(r);
    const WaveHeader h = Probed(bytes);
    MemorySource source(bytes);
    const std::optional<PeakSummary> summary = PeakSummary::Build(source, h, [] { return false; });
    ASSERT_TRUE(summary);
    ASSERT_EQ(summary->BlockFrames(), 256);
    for (int i = 0; i < 400; ++i) {
      const int64_t first = static_cast<int64_t>(rng() % (frames + 10)) - 5;
      const int64_t last = first + static_cast<int64_t>(rng() % (int64_t{1} << (rng() % 16)));
      ASSERT_EQ(summary->Range(source, first, last), DirectPeaks(values, l, frames, first, last))
          << "frames " << first << ".." << last;
    }
  }
}

// A float channel of nothing but NaN shows as 0, not as the untouched extremes of the scan; NaN
// next to numbers adds 0, +inf is full scale (9 frames: the vector loop and the tail both see them).
TEST(SampleScanTest, FloatNaNIsZeroAndInfinityFullScale) {
  std::vector<float> samples;
  for (int f = 0; f < 9; ++f) samples.insert(samples.end(), {std::nanf(""), f == 4 ? HUGE_VALF : f == 8 ? NAN : 0.5f});
  FramePeaks peaks;
  ScanFrames(SampleLayoutOf(FormatKind::kStereoFloat), reinterpret_cast<const uint8_t*>(samples.data()), 9, peaks);
  EXPECT_EQ(peaks.channel[0], (ChannelPeak{0, 0}));
  EXPECT_EQ(peaks.channel[1], (ChannelPeak{0, 32767}));
}

// The block is the smallest power of two from 256 frames on that keeps the summary in its budget.
TEST(PeakSummaryTest, BlockGrowsWithTheFileSoTheSummaryFitsItsBudget) {
  for (const FormatKind kind : {FormatKind::kStereo16, FormatKind::kMono8}) {
    for (const int64_t dataBytes : {int64_t{1} << 20, int64_t{1} << 30, int64_t{4} << 30, int64_t{64} << 30}) {
      const WaveHeader h = Header(kind, dataBytes);
      const int64_t block = PeakSummary::BlockFramesFor(h);
      EXPECT_LE(PeakSummary::BytesFor(h, block), kSummaryBudget) << dataBytes;
      EXPECT_TRUE(block == 256 || PeakSummary::BytesFor(h, block / 2) > kSummaryBudget) << dataBytes;
    }
  }
}

namespace {

// A 16-bit stereo file of silence of any size read from nowhere; reads counted, one may fail.
class VirtualSource final : public ByteSource {
 public:
  VirtualSource(int64_t size, std::atomic<int>& reads, int failAt) : size_(size), reads_(reads), failAt_(failAt) {}
  int64_t Size() override { return size_; }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t n) override {
    if (++reads_ == failAt_) return -1;
    const int64_t got = std::clamp<int64_t>(size_ - offset, 0, n);
    std::memset(buffer, 0, static_cast<size_t>(got));
    return got;
  }

 private:
  int64_t size_;
  std::atomic<int>& reads_;
  int failAt_;
};

SummaryBuilder::SourceOpener Opener(int64_t size, std::atomic<int>& reads, int failAt = -1) {
  return [size, &reads, failAt] { return std::make_unique<VirtualSource>(size, reads, failAt); };
}

}  // namespace

// Only a build that read every frame gives a summary.
TEST(SummaryBuilderTest, BuildsOnItsThreadOrFailsWithoutSummary) {
  const WaveHeader h = Header(FormatKind::kStereo16, int64_t{8} << 20);
  std::atomic<int> reads[3] = {0, 0, 0};
  SummaryBuilder whole(Opener(h.FileSize, reads[0]), h);
  SummaryBuilder readError(Opener(h.FileSize, reads[1], 3), h);
  SummaryBuilder shrunk(Opener(h.FileSize - 5000, reads[2]), h);
  SummaryBuilder unopened([] { return std::unique_ptr<ByteSource>(); }, h);
  for (const SummaryBuilder* b : {&whole, &readError, &shrunk, &unopened}) {
    while (!b->Finished()) std::this_thread::yield();
    EXPECT_EQ(b->Ready() != nullptr, b == &whole);
  }
  EXPECT_EQ(whole.Ready()->Range(*Opener(h.FileSize, reads[0])(), 1, 1000).channel[1], (ChannelPeak{0, 0}));
}

// A new document replaces the builder while it reads 16 GiB: each old build stops after its
// current read (the sanitizer run checks for leaks and use after free).
TEST(SummaryBuilderTest, ReplacedWhileBuilding) {
  const WaveHeader h = Header(FormatKind::kStereo16, int64_t{16} << 30);
  std::atomic<int> reads = 0;
  auto builder = std::make_unique<SummaryBuilder>(Opener(h.FileSize, reads), h);
  for (int i = 0; i < 4; ++i) builder = std::make_unique<SummaryBuilder>(Opener(h.FileSize, reads), h);
  builder.reset();
  EXPECT_LT(reads, 16 * 1024);
}
