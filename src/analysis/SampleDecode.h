#pragma once
#include <cstdint>

#include "document/SampleLayout.h"

namespace sonaveld {

// Where decoded frames go: frame i, channel c to floats[i * kLoudnessLanes + firstLane + c] (the
// rows of the loudness lanes) and, for a layout of DoubleRows, the value before it was rounded to
// single precision to doubles[...] (unused otherwise).
struct DecodeTarget {
  double* doubles;
  float* floats;
  int firstLane;
};

// What decoding saw: the largest |value| and the float samples that were not finite.
struct DecodeTally {
  double peak = 0.0;
  int64_t nonFinite = 0;
};

// Whether single precision does not hold every sample value of the layout exactly (32-bit
// integers), so the K-weighting needs rows of doubles beside the floats.
bool DoubleRows(const SampleLayout& layout);

// Decodes `frames` whole frames of layout at data as fractions of full scale: 8-bit
// (byte - 128) / 128, 16/24/32-bit v / 2^(bits - 1), float as it is, NaN and infinity as 0 (and
// counted).
void DecodeFrames(const SampleLayout& layout, const uint8_t* data, int64_t frames, DecodeTarget target,
                  DecodeTally& tally);

}  // namespace sonaveld
