#pragma once
#include <cstdint>

namespace sonaveld::test {

// The gain written out on its own from its rules, for the tests to hold the engine against; it
// shares no code with the engine's gain. Its extended arithmetic is long double, the x87 80-bit
// type here (where long double is another type, the engine's software extended type, which
// SoftExtendedTest holds against long double on x86-64).

// The percentage factor: percent x 0.01 in extended precision, rounded to float.
float ReferenceFactor(int percent);

// Sample s (signed: -32768..32767 or -128..127) of a channel of the given bits (8 or 16) whose
// chosen level is level, scaled: q = C / level, r = q x s, r = r x f, floored and clamped. A
// level of 0 keeps the sample.
int ReferenceScale(int bits, bool averageMode, float f, int32_t level, int s);

}  // namespace sonaveld::test
