#pragma once
#include <cstdint>

#include "document/SampleLayout.h"

namespace sonaveld {

// Where decoded frames go: frame i, channel c to doubles[i * kLoudnessLanes + firstLane + c] and
// the same value, rounded to single precision, to floats[...] (the rows of the loudness lanes).
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

// Decodes `frames` whole frames of layout at data as fractions of full scale: 8-bit
// (byte - 128) / 128, 16/24/32-bit v / 2^(bits - 1), float as it is, NaN and infinity as 0 (and
// counted).
void DecodeFrames(const SampleLayout& layout, const uint8_t* data, int64_t frames, const DecodeTarget& target,
                  DecodeTally& tally);

}  // namespace sonaveld
