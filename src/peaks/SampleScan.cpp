// The sample loops see every byte of a file once while the summary is built, so they are written
// to let the compiler vectorize them (this file is built with -O3).
#include "peaks/SampleScan.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace sonaveld::peaks {
namespace {

static_assert(std::endian::native == std::endian::little, "samples are handled as little-endian words");

// Min and max of interleaved samples of C channels: W running minima and maxima, lane k of
// them collecting channel k % C (W is a multiple of C), folded into the channels at the end.
template <typename T, int C>
void ScanInterleaved(const uint8_t* bytes, int64_t frames, FramePeaks& peaks) {
  constexpr int W = 32 / sizeof(T);
  static_assert(W % C == 0);
  const int64_t samples = frames * C;
  T low[W], high[W];
  std::fill(low, low + W, std::numeric_limits<T>::max());
  std::fill(high, high + W, std::numeric_limits<T>::min());
  int64_t i = 0;
  for (; i + W <= samples; i += W) {
    T v[W];
    std::memcpy(v, bytes + i * sizeof(T), sizeof v);
    for (int k = 0; k < W; ++k) {
      low[k] = std::min(low[k], v[k]);
      high[k] = std::max(high[k], v[k]);
    }
  }
  ChannelPeak found[C];
  for (int k = 0; k < W; ++k) {
    if (low[k] > high[k]) continue;  // lane saw no sample
    found[k % C].Add(static_cast<int16_t>(low[k]));
    found[k % C].Add(static_cast<int16_t>(high[k]));
  }
  for (; i < samples; ++i) {
    T v;
    std::memcpy(&v, bytes + i * sizeof(T), sizeof v);
    found[i % C].Add(static_cast<int16_t>(v));
  }
  for (int c = 0; c < C; ++c) peaks.channel[c].Add(found[c]);
}

}  // namespace

int LaneChannels(FormatKind kind) {
  switch (kind) {
    case FormatKind::kStereo16:
    case FormatKind::kStereo8: return 2;
    case FormatKind::kMono16:
    case FormatKind::kMono8: return 1;
    case FormatKind::kNone: break;
  }
  return 0;
}

void ScanFrames(FormatKind kind, const uint8_t* bytes, int64_t frames, FramePeaks& peaks) {
  if (frames <= 0) return;
  switch (kind) {
    case FormatKind::kStereo16: ScanInterleaved<int16_t, 2>(bytes, frames, peaks); break;
    case FormatKind::kMono16: ScanInterleaved<int16_t, 1>(bytes, frames, peaks); break;
    case FormatKind::kStereo8: ScanInterleaved<uint8_t, 2>(bytes, frames, peaks); break;
    case FormatKind::kMono8: ScanInterleaved<uint8_t, 1>(bytes, frames, peaks); break;
    case FormatKind::kNone: break;
  }
}

}  // namespace sonaveld::peaks
