#pragma once
#include <cstdint>

#include "document/FormatKind.h"
#include "normalizer/SampleGain.h"

namespace sonaveld {

// Absolute-value statistics of the samples of one block, by channel (a mono block uses [0]).
struct BlockStats {
  int32_t peak[2] = {0, 0};   // largest absolute value
  int32_t sum[2] = {0, 0};    // sum of absolute values (signed 32-bit, as the block arithmetic)
  int32_t count[2] = {0, 0};  // samples counted
};

// Collects the statistics of the first n bytes of a block of the given kind: n div 2 samples
// for the 16-bit kinds, n samples for the 8-bit kinds (8-bit bytes taken as value - 128).
// Sample parity counts from the block's start: even samples are channel 0 in stereo.
BlockStats MeasureSamples(FormatKind kind, const uint8_t* data, int64_t n);

// Maps the first n bytes of a block through the channel tables into out; for the 16-bit kinds
// an unpaired last byte is copied unchanged.
void MapSamples(FormatKind kind, const GainTable* tables, const uint8_t* in, int64_t n, uint8_t* out);

}  // namespace sonaveld
