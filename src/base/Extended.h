#pragma once
#include <cstdint>
#include <limits>
#include <type_traits>

#include "base/SoftExtended.h"

namespace sonaveld {

// The 80-bit extended arithmetic (64-bit mantissa, every operation rounded to nearest, ties to
// even) of the gain, of the float kinds' levels and of the conversions between times and frames.
// A plain double gives other results (peak 100: sample -100 would come out as -32767 instead of
// -32768; 90 ms at 44100 Hz would be frame 3969 instead of 3968). long double is that type where
// it is the x87 type; elsewhere, or when the build asks for it (SONAVELD_SOFT_EXTENDED),
// SoftExtended computes it.
#if defined(SONAVELD_SOFT_EXTENDED)
inline constexpr bool kSoftExtended = true;
#else
inline constexpr bool kSoftExtended = std::numeric_limits<long double>::digits != 64;
#endif
using Extended = std::conditional_t<kSoftExtended, SoftExtended, long double>;

// x without its fraction (rounded toward zero) as a whole number; for either type of Extended.
inline int64_t TruncateToInt(long double x) { return static_cast<int64_t>(x); }

}  // namespace sonaveld
