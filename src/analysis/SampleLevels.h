#pragma once
#include <cstdint>

#include "document/SampleLayout.h"

namespace sonaveld {

// How the samples of one kind are laid out and measured. LevelLayoutOf builds it from the kind's
// SampleLayout (document/SampleLayout.h), adding the loop that measures that encoding.
struct LevelLayout {
  int channels = 0;        // samples per frame
  int sampleBytes = 0;     // bytes per sample; a frame is channels x sampleBytes bytes
  // The level of a full-scale sample: 32768 (16-bit), 128 (8-bit), 8388608 (24-bit),
  // 2147483648 (32-bit), 1.0 (float).
  double fullScale = 0.0;
  // Largest absolute sample value among the first `samples` samples at data (an integer sample's
  // value is its signed value, an 8-bit sample's is byte - 128, a float's is the float); 0 when
  // samples is 0; infinity when a float sample is NaN or infinite, which is never quiet.
  double (*maxAbs)(const uint8_t* data, int64_t samples) = nullptr;

  int FrameBytes() const { return channels * sampleBytes; }
};

// The layout of kind; channels 0 and maxAbs nullptr for a kind the analysis does not handle.
LevelLayout LevelLayoutOf(FormatKind kind);
// The same for a layout of 1 to 8 channels; channels 0 and maxAbs nullptr for a zero layout.
LevelLayout LevelLayoutOf(const SampleLayout& layout);

}  // namespace sonaveld
