#pragma once
#include <cstdint>

#include "document/FormatKind.h"
#include "normalizer/SampleGain.h"
#include "normalizer/SampleKernels.h"

namespace sonaveld {

// How one channel of a 24-bit, 32-bit or float kind is scaled. No table can hold every value of
// these kinds, so each sample is first computed in double precision, g = s x fast, and that
// result is taken wherever it provably equals the exact one (see MapWide); the rest, a few
// samples in millions, take the exact gain.
struct WideChannel {
  const ChannelGain* gain = nullptr;  // the exact gain
  double fast = 1.0;                  // q x f in double precision (within 2^-52 of q x f)
  bool exact = false;  // s x fast is exactly q x s x f for every sample value s
};

// The fast setup of a channel of kind whose exact gain is gain (which must outlive it).
WideChannel MakeWideChannel(FormatKind kind, const ChannelGain& gain);

// The statistics of the whole samples among the first n bytes of a block of a wide kind (see
// MeasureSamples): 64-bit sums for the integer kinds; for float, the finite samples only, summed
// in extended precision in sample order.
BlockStats MeasureWide(FormatKind kind, const uint8_t* data, int64_t n);

// Maps the first n bytes of a block of a wide kind (starting on a frame) into out: every whole
// sample as its channel's gain gives it, float samples that are not finite unchanged, and the
// bytes of an incomplete last sample copied.
//
// Why the double result may be taken: the exact r = R(R(q s) f) (R: rounding to 64 bits) lies
// within |q s f| 2^-63 of q s f, and g (three roundings to 53 bits) within about |q s f| 3 x 2^-53
// of it, so |g - r| < |g| 2^-51. An integer kind's result is Floor(r) clamped; it equals that of g when no
// whole number lies within d = |g| 2^-49 of g, or when g - d >= the largest value or g + d < the
// smallest (clamped either way), or when s is 0 or the products are exact. A float result is r
// rounded to a float; it equals g's when no rounding midpoint between floats lies within 32 units
// of g's last place (more than d) and g is a normal float, or when |g| >= 2 (clamped to 1), or
// when x is 0 or the products are exact.
void MapWide(FormatKind kind, const WideChannel channels[2], const uint8_t* in, int64_t n, uint8_t* out);

// The exact gain's result for one sample of a wide kind at in (bytes of its encoding) into out;
// float samples that are not finite are copied. The fast paths send the samples they cannot
// decide here.
void MapWideExactly(SampleEncoding encoding, const WideChannel& channel, const uint8_t* in, uint8_t* out);

}  // namespace sonaveld
