#pragma once
#include <limits>
#include <type_traits>

#include "normalizer/SoftExtended.h"

namespace sonaveld {

// The 80-bit extended arithmetic (64-bit mantissa, every operation rounded to nearest, ties to
// even) of the gain and of the float kinds' levels. A plain double gives other results (peak 100:
// sample -100 would come out as -32767 instead of -32768). long double is that type where it is
// the x87 type; elsewhere, or when the build asks for it (SONAVELD_SOFT_EXTENDED), SoftExtended
// computes it.
#if defined(SONAVELD_SOFT_EXTENDED)
inline constexpr bool kSoftExtended = true;
#else
inline constexpr bool kSoftExtended = std::numeric_limits<long double>::digits != 64;
#endif
using Extended = std::conditional_t<kSoftExtended, SoftExtended, long double>;

}  // namespace sonaveld
