// The meter's inner loops against their rules written out plainly: decoding (every frame of every
// count, the peak wherever it lies) and the true-peak interpolation (every phase of the filter's
// table, one tap at a time).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "analysis/LoudnessLanes.h"
#include "analysis/SampleDecode.h"

namespace sonaveld {
namespace {

constexpr int L = kLoudnessLanes;

TEST(LoudnessLanes, DecodesEveryFrameAndItsPeak) {
  std::mt19937 random(7);
  for (SampleEncoding e : {SampleEncoding::kPcm8, SampleEncoding::kPcm16, SampleEncoding::kPcm24, SampleEncoding::kPcm32}) {
    for (int channels : {1, 2, 3}) {
      const SampleLayout layout = SampleLayoutOf(e, channels);
      const int bits = layout.sampleBytes * 8;
      for (int64_t frames = 0; frames < 20; ++frames) {
        std::vector<uint8_t> bytes(static_cast<size_t>(frames * layout.FrameBytes()));
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random() % 64);  // small values...
        if (frames > 0) {  // ...the last the most negative
          std::fill(bytes.end() - layout.sampleBytes, bytes.end(), 0);
          bytes.back() = bits == 8 ? 0 : 0x80;
        }
        std::vector<float> floats(static_cast<size_t>(frames * L), -9.0f);
        std::vector<double> doubles(floats.size(), -9.0);
        DecodeTally tally;
        DecodeFrames(layout, bytes.data(), frames, {doubles.data(), floats.data(), 1}, tally);
        for (int64_t i = 0; i < frames * channels; ++i) {
          int64_t v = 0;  // the sample by the rule: little-endian, signed (8-bit: offset by 128)
          const uint8_t* sample = bytes.data() + i * layout.sampleBytes;
          for (int b = layout.sampleBytes - 1; b >= 0; --b) v = v * 256 + sample[b];
          v = bits == 8 ? v - 128 : (v >= (int64_t{1} << (bits - 1)) ? v - (int64_t{1} << bits) : v);
          const double expected = std::ldexp(static_cast<double>(v), 1 - bits);
          const size_t at = static_cast<size_t>((i / channels) * L + 1 + i % channels);
          ASSERT_EQ(floats[at], static_cast<float>(expected)) << bits << " bits, " << channels << " ch, sample " << i;
          if (DoubleRows(layout)) {
            ASSERT_EQ(doubles[at], expected);
          }
        }
        EXPECT_EQ(tally.peak, frames > 0 ? 1.0 : 0.0) << bits << " bits, " << channels << " ch, " << frames << " frames";
      }
    }
  }
}

TEST(LoudnessLanes, TruePeakIsTheLargestValueOfEveryPhase) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> value(-1.0f, 1.0f);
  for (int32_t rate : {48000, 192000}) {
    const TruePeakFilter filter = TruePeakFilterFor(rate);
    const int history = filter.tapsPerPhase - 1, rows = 301;
    // A sine of its own frequency and phase in each lane, so the crest falls between the samples
    // at a different phase in each.
    std::vector<float> x(static_cast<size_t>((history + rows) * L));
    for (int l = 0; l < L; ++l) {
      const double cycles = 0.03 + 0.055 * l + 0.01 * value(random), phase = 3.0 * value(random);
      for (int i = 0; i < history + rows; ++i) {
        x[static_cast<size_t>(i * L + l)] = static_cast<float>(std::sin(2 * std::numbers::pi * cycles * i + phase));
      }
    }
    const float* first = x.data() + history * L;
    const int64_t limit[L] = {rows, rows, 250, 200, rows, 233, rows, rows - 1};  // 200 rows in whole steps
    float peaks[L] = {};
    TruePeakRows(filter, first, rows, limit, peaks);
    for (int l = 0; l < L; ++l) {
      double expected = 0.0;
      for (int64_t i = 0; i < limit[l]; ++i) {
        for (int p = 0; p + 1 < filter.factor; ++p) {
          double sum = 0.0;
          for (int k = 0; k < filter.tapsPerPhase; ++k) {
            sum += filter.coefficients[static_cast<size_t>(p * filter.tapsPerPhase + k)] * first[(i - k) * L + l];
          }
          expected = std::max(expected, std::fabs(sum));
        }
      }
      EXPECT_NEAR(peaks[l], expected, 2e-6) << rate << " Hz, lane " << l;
    }
  }
}

}  // namespace
}  // namespace sonaveld
