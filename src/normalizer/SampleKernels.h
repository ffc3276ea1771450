#pragma once
#include <cstdint>

#include "document/FormatKind.h"
#include "normalizer/SampleGain.h"

namespace sonaveld {

// Absolute-value statistics of the samples of one block, by channel (a mono block uses [0]).
struct BlockStats {
  int64_t peak[2] = {0, 0};   // integer kinds: largest absolute value
  int64_t sum[2] = {0, 0};    // integer kinds: sum of absolute values
  int32_t count[2] = {0, 0};  // samples counted (float kinds: the finite ones)
  float floatPeak[2] = {0, 0};      // float kinds: largest absolute finite value
  Extended floatSum[2] = {};        // float kinds: sum of absolute finite values, in sample order
};

// Collects the statistics of the first n bytes of a block of the given kind: its whole samples
// (n div 2 for the 16-bit kinds, n for the 8-bit kinds, taken as byte - 128, and so on). Sample
// parity counts from the block's start: even samples are channel 0 in stereo.
BlockStats MeasureSamples(FormatKind kind, const uint8_t* data, int64_t n);

// Maps the first n bytes of a block through the channel tables into out; for the 16-bit kinds
// an unpaired last byte is copied unchanged.
void MapSamples(FormatKind kind, const GainTable* tables, const uint8_t* in, int64_t n, uint8_t* out);

// True when FastMap16 runs here: a build for x86-64 by GCC or Clang, on a processor with AVX2 and
// FMA.
bool FastMapAvailable();

// A 16-bit sample value that the fast mapping gets wrong on some channels (bit c of channels set
// for channel c), so that it takes the exact tables instead; at most kMaxFastExceptions per file.
struct FastException {
  int16_t sample;
  uint8_t channels;
};
constexpr int kMaxFastExceptions = 16;

// The fast 16-bit mapping: each sample s becomes Floor(s x gain) clamped to -32768..32767, in
// double precision, with gain[0] for the first channel and gain[1] for the second; a group of
// samples that holds one of the count exceptions on its channel is mapped through tables (one
// per channel) instead. Maps whole frames of the kind from in to out, in groups of sixteen
// samples, up to frames; returns the number of frames mapped (the rest is left to the tables;
// none where FastMapAvailable is false). The result equals the exact gain arithmetic only where
// SampleMapper has checked it.
int64_t FastMap16(FormatKind kind, const uint8_t* in, int64_t frames, const double gain[2],
                  const FastException* exceptions, int count, const GainTable* tables, uint8_t* out);

// The 16-bit sample values a plain gain keeps without clamping: lowestKept..highestKept (INT16_MIN
// and INT16_MAX when no value is clamped on that side).
struct PlainClamp {
  int16_t lowestKept = INT16_MIN;
  int16_t highestKept = INT16_MAX;
};

// The fast plain gain of 16-bit samples: each s becomes round-half-even(s x gain) clamped to
// -32768..32767, in double precision, sixteen samples a step up to samples (channel of sample i:
// i & 1 in stereo, 0 in mono), and every s outside clamp counted on its channel in clipped.
// Returns the samples mapped: a multiple of 16, 0 where FastMapAvailable is false (the rest is
// left to the caller). The caller checks the results against its exact tables before using it.
int64_t PlainMap16(const uint8_t* in, int64_t samples, double gain, const PlainClamp& clamp, bool stereo,
                   uint8_t* out, int64_t clipped[2]);

}  // namespace sonaveld
