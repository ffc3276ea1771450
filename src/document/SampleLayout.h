#pragma once
#include "document/FormatKind.h"

namespace sonaveld {

// How the samples of a kind lie in the data chunk and what full scale is for them: the one
// description that the measuring code (levels, pauses, peaks, loudness) works from.
struct SampleLayout {
  int channels = 0;     // samples per frame (1 to 8); 0 for a layout the system does not handle
  int sampleBytes = 0;  // bytes per sample; a frame is channels x sampleBytes bytes
  SampleEncoding encoding = SampleEncoding::kNone;
  // The level of a full-scale sample: 128 (8-bit, around 128), 32768 (16-bit), 8388608 (24-bit),
  // 2147483648 (32-bit), 1.0 (float).
  double fullScale = 0.0;

  int FrameBytes() const { return channels * sampleBytes; }
};

// The layout of a kind; all zero (kNone) for kNone.
SampleLayout SampleLayoutOf(FormatKind kind);

// The most channels a file may have.
constexpr int kMaxChannels = 8;

// The layout of samples of this encoding with this many channels; all zero without an encoding or
// for a channel count outside 1..kMaxChannels.
SampleLayout SampleLayoutOf(SampleEncoding encoding, int channels);

// The kind of a layout: one of the 10 kinds for 1 and 2 channels, kNone for more (a polyphonic
// layout has no kind; everything that handles it works from the layout).
FormatKind KindOfLayout(const SampleLayout& layout);

}  // namespace sonaveld
