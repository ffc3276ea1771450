#include "GainReference.h"

#include <cmath>

namespace sonaveld::test {
namespace {

using Ext = ReferenceExtended;

[[maybe_unused]] int64_t FloorToInt(long double x) { return static_cast<int64_t>(std::floor(x)); }

// r = (C / level x s) x f. C: the largest sample value in peak mode; in average mode that / 7.5
// (10.16 = 1016 / 100 for 8 bits), each the nearest extended value.
Ext Product(int bits, bool averageMode, float f, int64_t level, int64_t s) {
  const int64_t high = (int64_t{1} << (bits - 1)) - 1;
  Ext c = Ext(high);
  if (averageMode) c = bits == 8 ? Ext(1016) / Ext(100) : Ext(high) / Ext(7.5);
  const Ext q = c / Ext(level);
  return q * Ext(s) * Ext(f);  // (q x s) x f: the order shows at 75 %
}

Ext FloatProduct(bool averageMode, float f, ReferenceExtended level, float x) {
  const Ext c = averageMode ? Ext(1) / Ext(7.5) : Ext(1);
  return c / level * Ext(x) * Ext(f);
}

}  // namespace

float ReferenceFactor(int percent) { return static_cast<float>(Ext(percent) * (Ext(1) / Ext(100))); }

bool ReferenceClips(int bits, bool averageMode, float f, int64_t level, int64_t s) {
  if (level == 0) return false;
  const int64_t high = (int64_t{1} << (bits - 1)) - 1;
  const Ext r = Product(bits, averageMode, f, level, s);
  return r >= Ext(high + 1) || r < Ext(-high - 1);
}

bool ReferenceClipsFloat(bool averageMode, float f, ReferenceExtended level, float x) {
  if (level == Ext(0)) return false;
  const Ext r = FloatProduct(averageMode, f, level, x);
  return r > Ext(1) || r < Ext(-1);
}

int64_t ReferenceScale(int bits, bool averageMode, float f, int64_t level, int64_t s) {
  if (level == 0) return s;
  const int64_t high = (int64_t{1} << (bits - 1)) - 1;
  const Ext r = Product(bits, averageMode, f, level, s);
  if (r >= Ext(high)) return high;
  if (r < Ext(-high - 1)) return -high - 1;
  return FloorToInt(r);
}

float ReferenceScaleFloat(bool averageMode, float f, ReferenceExtended level, float x) {
  if (level == Ext(0)) return x;
  const Ext r = FloatProduct(averageMode, f, level, x);
  if (r > Ext(1)) return 1.0f;
  if (r < Ext(-1)) return -1.0f;
  return static_cast<float>(r);
}

}  // namespace sonaveld::test
