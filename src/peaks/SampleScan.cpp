// The sample loops see every byte of a file once while the summary is built, so they are written
// to let the compiler vectorize them (this file is built with -O3).
#include "peaks/SampleScan.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <numeric>
#include <type_traits>

#include "peaks/LaneScale.h"

namespace sonaveld::peaks {
namespace {

static_assert(std::endian::native == std::endian::little, "samples are handled as little-endian words");

// The smallest and largest raw sample of each of C channels; a float channel also notes whether
// it held a NaN (which no comparison picks up).
template <typename T, int C>
struct RawPeaks {
  T low[C];
  T high[C];
  bool nan[C] = {};

  RawPeaks() {
    constexpr bool kFloat = std::is_floating_point_v<T>;
    for (int c = 0; c < C; ++c) {
      low[c] = kFloat ? std::numeric_limits<T>::infinity() : std::numeric_limits<T>::max();
      high[c] = kFloat ? -std::numeric_limits<T>::infinity() : std::numeric_limits<T>::lowest();
    }
  }
  void Add(int c, T v) {
    low[c] = v < low[c] ? v : low[c];
    high[c] = v > high[c] ? v : high[c];
    if constexpr (std::is_floating_point_v<T>) nan[c] = nan[c] || v != v;
  }
  // Adds the lane values of the extremes (the maps to the lane are monotone) and 0 for a NaN.
  template <typename Lane>
  void AddTo(FramePeaks& peaks, Lane toLane) const {
    for (int c = 0; c < C; ++c) {
      if (low[c] <= high[c]) {
        peaks.channel[c].Add(static_cast<int16_t>(toLane(low[c])));
        peaks.channel[c].Add(static_cast<int16_t>(toLane(high[c])));
      }
      if (nan[c]) peaks.channel[c].Add(0);
    }
  }
};

#if (defined(__GNUC__) || defined(__clang__)) && !defined(SONAVELD_NO_SIMD)
// Min and max of interleaved samples of C channels, a group of 16-byte vectors at a time. The group
// holds a whole number of frames (lcm(lanes, C) samples, and at least two vectors so that the
// comparisons of one vector need not wait for the other's), so lane k of vector j always collects
// channel (j * lanes + k) % C; the lanes are folded into the channels at the end. A NaN loses
// every comparison, so it is noted on the side.
template <typename T, int C>
RawPeaks<T, C> ScanInterleaved(const uint8_t* bytes, int64_t frames) {
  typedef T Vector __attribute__((vector_size(16)));
  using Mask = decltype(Vector{} != Vector{});
  constexpr int kLanes = 16 / sizeof(T);
  constexpr int kPeriod = std::lcm(kLanes, C) / kLanes;
  constexpr int kVectors = kPeriod == 1 ? 2 : kPeriod;
  constexpr int kStep = kVectors * kLanes;
  const int64_t samples = frames * C;
  RawPeaks<T, C> found;
  Vector low[kVectors], high[kVectors];
  Mask nan[kVectors];
  for (int j = 0; j < kVectors; ++j) {
    low[j] = Vector{} + found.low[0];
    high[j] = Vector{} + found.high[0];
    nan[j] = low[j] != low[j];  // all lanes false
  }
  int64_t i = 0;
  for (; i + kStep <= samples; i += kStep) {
    for (int j = 0; j < kVectors; ++j) {
      Vector a;
      std::memcpy(&a, bytes + (i + j * kLanes) * sizeof(T), sizeof a);
      low[j] = a < low[j] ? a : low[j];
      high[j] = a > high[j] ? a : high[j];
      if constexpr (std::is_floating_point_v<T>) nan[j] |= a != a;
    }
  }
  for (int j = 0; i > 0 && j < kVectors; ++j) {
    for (int k = 0; k < kLanes; ++k) {
      const int c = (j * kLanes + k) % C;
      if (low[j][k] <= high[j][k]) {  // else the lane saw nothing but NaN
        found.Add(c, low[j][k]);
        found.Add(c, high[j][k]);
      }
      found.nan[c] = found.nan[c] || nan[j][k] != 0;
    }
  }
  for (; i < samples; ++i) {
    T v;
    std::memcpy(&v, bytes + i * sizeof(T), sizeof v);
    found.Add(static_cast<int>(i % C), v);
  }
  return found;
}

#else
// Min and max of interleaved samples of C channels, one sample at a time (compilers without vector
// extensions, or with the vector paths switched off): the same extremes and NaN notes.
template <typename T, int C>
RawPeaks<T, C> ScanInterleaved(const uint8_t* bytes, int64_t frames) {
  RawPeaks<T, C> found;
  const int64_t samples = frames * C;
  for (int64_t i = 0; i < samples; ++i) {
    T v;
    std::memcpy(&v, bytes + i * sizeof(T), sizeof v);
    found.Add(static_cast<int>(i % C), v);
  }
  return found;
}
#endif

// The same for 24-bit samples, four at a time from three 32-bit words as v × 256 (which keeps
// their order); the lane map shifts them back. A step of lcm(4, C) samples is whole frames, so
// sample g of a step is channel g % C.
template <int C>
RawPeaks<int32_t, C> Scan24(const uint8_t* bytes, int64_t frames) {
  constexpr int kStep = std::lcm(4, C);
  RawPeaks<int32_t, C> found;
  const int64_t samples = frames * C;
  int64_t i = 0;
  for (; i + kStep <= samples; i += kStep) {
    for (int g = 0; g < kStep; g += 4) {
      int32_t four[4];
      FourShifted24(bytes + 3 * (i + g), four);
      for (int k = 0; k < 4; ++k) found.Add((g + k) % C, four[k]);
    }
  }
  for (; i < samples; ++i) found.Add(static_cast<int>(i % C), Shifted24(bytes + 3 * i));
  return found;
}

int LaneFromShifted24(int32_t v) { return LaneFrom24(v >> 8); }

int Same(int v) { return v; }

// The scan of one encoding with C channels, its extremes brought to the lane scale.
template <int C>
void ScanChannels(SampleEncoding encoding, const uint8_t* bytes, int64_t frames, FramePeaks& peaks) {
  switch (encoding) {
    case SampleEncoding::kPcm16: ScanInterleaved<int16_t, C>(bytes, frames).AddTo(peaks, Same); break;
    case SampleEncoding::kPcm8: ScanInterleaved<uint8_t, C>(bytes, frames).AddTo(peaks, Same); break;
    case SampleEncoding::kPcm24: Scan24<C>(bytes, frames).AddTo(peaks, LaneFromShifted24); break;
    case SampleEncoding::kPcm32: ScanInterleaved<int32_t, C>(bytes, frames).AddTo(peaks, LaneFrom32); break;
    case SampleEncoding::kFloat32: ScanInterleaved<float, C>(bytes, frames).AddTo(peaks, LaneFromFloat); break;
    case SampleEncoding::kNone: break;
  }
}

}  // namespace

int LaneChannels(const SampleLayout& layout) { return layout.encoding == SampleEncoding::kNone ? 0 : layout.channels; }

void ScanFrames(const SampleLayout& layout, const uint8_t* bytes, int64_t frames, FramePeaks& peaks) {
  if (frames <= 0) return;
  const SampleEncoding e = layout.encoding;
  switch (layout.channels) {
    case 1: ScanChannels<1>(e, bytes, frames, peaks); break;
    case 2: ScanChannels<2>(e, bytes, frames, peaks); break;
    case 3: ScanChannels<3>(e, bytes, frames, peaks); break;
    case 4: ScanChannels<4>(e, bytes, frames, peaks); break;
    case 5: ScanChannels<5>(e, bytes, frames, peaks); break;
    case 6: ScanChannels<6>(e, bytes, frames, peaks); break;
    case 7: ScanChannels<7>(e, bytes, frames, peaks); break;
    case 8: ScanChannels<8>(e, bytes, frames, peaks); break;
    default: break;
  }
}

}  // namespace sonaveld::peaks
