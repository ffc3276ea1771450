// The sample loops see every byte of a file once while the summary is built, so they are written
// to let the compiler vectorize them (this file is built with -O3).
#include "peaks/SampleScan.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
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
// Min and max of interleaved samples of C channels, two 16-byte vectors at a time: lane k of the
// running minima and maxima collects channel k % C (the lanes per vector are a multiple of C),
// folded into the channels at the end. A NaN loses every comparison, so it is noted on the side.
template <typename T, int C>
RawPeaks<T, C> ScanInterleaved(const uint8_t* bytes, int64_t frames) {
  typedef T Vector __attribute__((vector_size(16)));
  constexpr int kLanes = 16 / sizeof(T);
  static_assert(kLanes % C == 0);
  const int64_t samples = frames * C;
  RawPeaks<T, C> found;
  Vector low0 = Vector{} + found.low[0], low1 = low0;
  Vector high0 = Vector{} + found.high[0], high1 = high0;
  auto nan = low0 != low0;  // all lanes false
  int64_t i = 0;
  for (; i + 2 * kLanes <= samples; i += 2 * kLanes) {
    Vector a, b;
    std::memcpy(&a, bytes + i * sizeof(T), sizeof a);
    std::memcpy(&b, bytes + (i + kLanes) * sizeof(T), sizeof b);
    low0 = a < low0 ? a : low0;
    low1 = b < low1 ? b : low1;
    high0 = a > high0 ? a : high0;
    high1 = b > high1 ? b : high1;
    if constexpr (std::is_floating_point_v<T>) nan |= (a != a) | (b != b);
  }
  for (int k = 0; i > 0 && k < kLanes; ++k) {
    const T low = std::min(low0[k], low1[k]), high = std::max(high0[k], high1[k]);
    if (low <= high) {  // else the lane saw nothing but NaN
      found.Add(k % C, low);
      found.Add(k % C, high);
    }
    found.nan[k % C] = found.nan[k % C] || nan[k] != 0;
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
// their order); the lane map shifts them back. Four samples are whole frames of either kind.
template <int C>
RawPeaks<int32_t, C> Scan24(const uint8_t* bytes, int64_t frames) {
  RawPeaks<int32_t, C> found;
  const int64_t samples = frames * C;
  int64_t i = 0;
  for (; i + 4 <= samples; i += 4) {
    int32_t four[4];
    FourShifted24(bytes + 3 * i, four);
    for (int k = 0; k < 4; ++k) found.Add(k % C, four[k]);
  }
  for (; i < samples; ++i) found.Add(static_cast<int>(i % C), Shifted24(bytes + 3 * i));
  return found;
}

int LaneFromShifted24(int32_t v) { return LaneFrom24(v >> 8); }

int Same(int v) { return v; }

}  // namespace

int LaneChannels(FormatKind kind) { return ChannelsOf(kind); }

void ScanFrames(FormatKind kind, const uint8_t* bytes, int64_t frames, FramePeaks& peaks) {
  if (frames <= 0) return;
  switch (kind) {
    case FormatKind::kStereo16: ScanInterleaved<int16_t, 2>(bytes, frames).AddTo(peaks, Same); break;
    case FormatKind::kMono16: ScanInterleaved<int16_t, 1>(bytes, frames).AddTo(peaks, Same); break;
    case FormatKind::kStereo8: ScanInterleaved<uint8_t, 2>(bytes, frames).AddTo(peaks, Same); break;
    case FormatKind::kMono8: ScanInterleaved<uint8_t, 1>(bytes, frames).AddTo(peaks, Same); break;
    case FormatKind::kStereo24: Scan24<2>(bytes, frames).AddTo(peaks, LaneFromShifted24); break;
    case FormatKind::kMono24: Scan24<1>(bytes, frames).AddTo(peaks, LaneFromShifted24); break;
    case FormatKind::kStereo32: ScanInterleaved<int32_t, 2>(bytes, frames).AddTo(peaks, LaneFrom32); break;
    case FormatKind::kMono32: ScanInterleaved<int32_t, 1>(bytes, frames).AddTo(peaks, LaneFrom32); break;
    case FormatKind::kStereoFloat: ScanInterleaved<float, 2>(bytes, frames).AddTo(peaks, LaneFromFloat); break;
    case FormatKind::kMonoFloat: ScanInterleaved<float, 1>(bytes, frames).AddTo(peaks, LaneFromFloat); break;
    case FormatKind::kNone: break;
  }
}

}  // namespace sonaveld::peaks
