#include "normalizer/SampleGain.h"

#include <cmath>
#include <limits>

namespace sonaveld {
namespace {

// The gain arithmetic needs the 64-bit mantissa of the x87 extended type; a plain double gives
// other results (peak 100: sample -100 would come out as -32767 instead of -32768).
static_assert(std::numeric_limits<long double>::digits == 64, "needs 80-bit extended long double");

// Target constants C by sample size and mode.
long double TargetConstant(bool sixteenBit, NormalizeMode mode) {
  if (sixteenBit) return mode == NormalizeMode::kPeak ? 32767.0L : 32767.0L / 7.5L;
  return mode == NormalizeMode::kPeak ? 127.0L : 10.16L;
}

}  // namespace

float PercentFactor(int percent) {
  const long double product = static_cast<long double>(percent) * 0.01L;
  return static_cast<float>(product);
}

int ScaleSample(bool sixteenBit, NormalizeMode mode, float factor, int32_t level, int s) {
  const long double q = TargetConstant(sixteenBit, mode) / static_cast<long double>(level);
  long double r = q * static_cast<long double>(s);
  r = r * static_cast<long double>(factor);
  const int high = sixteenBit ? 32767 : 127;
  const int low = sixteenBit ? -32768 : -128;
  // Floor then clamp; comparing before the conversion keeps huge values out of the int range.
  if (r >= static_cast<long double>(high)) return high;
  if (r < static_cast<long double>(low)) return low;
  return static_cast<int>(std::floor(r));
}

int32_t ChosenLevel(const ChannelLevel& level, NormalizeMode mode) {
  return mode == NormalizeMode::kPeak ? level.peak : level.average;
}

void GainTable::Build(bool sixteenBit, NormalizeMode mode, float factor, int32_t level) {
  if (sixteenBit) {
    for (int raw = 0; raw < 65536; ++raw) {
      const int s = static_cast<int16_t>(static_cast<uint16_t>(raw));
      const int v = level == 0 ? s : ScaleSample(true, mode, factor, level, s);
      table16_[raw] = static_cast<uint16_t>(static_cast<int16_t>(v));
    }
  } else {
    for (int raw = 0; raw < 256; ++raw) {
      const int s = raw - 128;
      const int v = level == 0 ? s : ScaleSample(false, mode, factor, level, s);
      table8_[raw] = static_cast<uint8_t>(v + 128);
    }
  }
}

}  // namespace sonaveld
