#pragma once
#include "document/FormatKind.h"

namespace sonaveld {

// How the samples of a kind lie in the data chunk and what full scale is for them: the one
// description that the measuring code (levels, pauses, peaks, loudness) works from.
struct SampleLayout {
  int channels = 0;     // samples per frame (1 or 2); 0 for a kind the system does not handle
  int sampleBytes = 0;  // bytes per sample; a frame is channels x sampleBytes bytes
  SampleEncoding encoding = SampleEncoding::kNone;
  // The level of a full-scale sample: 128 (8-bit, around 128), 32768 (16-bit), 8388608 (24-bit),
  // 2147483648 (32-bit), 1.0 (float).
  double fullScale = 0.0;

  int FrameBytes() const { return channels * sampleBytes; }
};

// The layout of a kind; all zero (kNone) for kNone.
SampleLayout SampleLayoutOf(FormatKind kind);

}  // namespace sonaveld
