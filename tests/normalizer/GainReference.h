#pragma once
#include <cstdint>
#include <limits>
#include <type_traits>

#include "base/SoftExtended.h"

namespace sonaveld::test {

// The gain written out on its own from its rules, for the tests to hold the engine against; it
// shares no code with the engine's gain. Its extended arithmetic is long double, the x87 80-bit
// type here (where long double is another type, the engine's software extended type, which
// SoftExtendedTest holds against long double on x86-64).
using ReferenceExtended =
    std::conditional_t<std::numeric_limits<long double>::digits == 64, long double, SoftExtended>;

// The percentage factor: percent x 0.01 in extended precision, rounded to float.
float ReferenceFactor(int percent);

// Sample s (signed: -2^(bits-1)..2^(bits-1)-1) of a channel of an integer kind of the given bits (8,
// 16, 24 or 32) whose chosen level is level, scaled: q = C / level, r = q x s, r = r x f, floored
// and clamped. A level of 0 keeps the sample.
int64_t ReferenceScale(int bits, bool averageMode, float f, int64_t level, int64_t s);

// A finite float sample x of a channel whose chosen level is level, scaled: C = 1 (peak) or 1 / 7.5
// (average), r as above, clamped to -1..1 and rounded to a float. A level of 0 keeps the sample.
float ReferenceScaleFloat(bool averageMode, float f, ReferenceExtended level, float x);

// True when the gain clamps sample s (or the finite float x) of such a channel: r beyond the
// range by a whole step or more (float: |r| above 1).
bool ReferenceClips(int bits, bool averageMode, float f, int64_t level, int64_t s);
bool ReferenceClipsFloat(bool averageMode, float f, ReferenceExtended level, float x);

}  // namespace sonaveld::test
