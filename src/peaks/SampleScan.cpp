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

// Min and max of interleaved samples of C channels, two 16-byte vectors at a time: lane k of the
// running minima and maxima collects channel k % C (the lanes per vector are a multiple of C),
// folded into the channels at the end.
template <typename T, int C>
void ScanInterleaved(const uint8_t* bytes, int64_t frames, FramePeaks& peaks) {
  typedef T Vector __attribute__((vector_size(16)));
  constexpr int kLanes = 16 / sizeof(T);
  static_assert(kLanes % C == 0);
  const int64_t samples = frames * C;
  Vector low0 = Vector{} + std::numeric_limits<T>::max(), low1 = low0;
  Vector high0 = Vector{} + std::numeric_limits<T>::min(), high1 = high0;
  int64_t i = 0;
  for (; i + 2 * kLanes <= samples; i += 2 * kLanes) {
    Vector a, b;
    std::memcpy(&a, bytes + i * sizeof(T), sizeof a);
    std::memcpy(&b, bytes + (i + kLanes) * sizeof(T), sizeof b);
    low0 = a < low0 ? a : low0;
    low1 = b < low1 ? b : low1;
    high0 = a > high0 ? a : high0;
    high1 = b > high1 ? b : high1;
  }
  ChannelPeak found[C];
  if (i > 0) {
    for (int k = 0; k < kLanes; ++k) {
      found[k % C].Add(static_cast<int16_t>(std::min(low0[k], low1[k])));
      found[k % C].Add(static_cast<int16_t>(std::max(high0[k], high1[k])));
    }
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
    default: break;  // kNone, and the kinds this does not handle yet
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
    default: break;  // kNone, and the kinds this does not handle yet
  }
}

}  // namespace sonaveld::peaks
