#include "GainReference.h"

#include <cmath>
#include <limits>
#include <type_traits>

#include "normalizer/SoftExtended.h"

namespace sonaveld::test {
namespace {

constexpr bool kX87 = std::numeric_limits<long double>::digits == 64;
using Ext = std::conditional_t<kX87, long double, SoftExtended>;

[[maybe_unused]] int64_t FloorToInt(long double x) { return static_cast<int64_t>(std::floor(x)); }

}  // namespace

float ReferenceFactor(int percent) { return static_cast<float>(Ext(percent) * (Ext(1) / Ext(100))); }

int ReferenceScale(int bits, bool averageMode, float f, int32_t level, int s) {
  if (level == 0) return s;
  // C: the largest sample value in peak mode; in average mode 32767 / 7.5 and 10.16 (1016 / 100),
  // each the nearest extended value.
  Ext c = bits == 16 ? Ext(32767) : Ext(127);
  if (averageMode) c = bits == 16 ? Ext(32767) / Ext(7.5) : Ext(1016) / Ext(100);
  const Ext q = c / Ext(level);
  const Ext r = q * Ext(s) * Ext(f);  // (q x s) x f: the order shows at 75 %
  const int high = bits == 16 ? 32767 : 127;
  if (r >= Ext(high)) return high;
  if (r < Ext(-high - 1)) return -high - 1;
  return static_cast<int>(FloorToInt(r));
}

}  // namespace sonaveld::test
