#include "normalizer/SampleGain.h"

#include <cmath>
#include <limits>
#include <type_traits>

#include "normalizer/SoftExtended.h"

namespace sonaveld {
namespace {

// The gain arithmetic needs a 64-bit mantissa: a plain double gives other results (peak 100:
// sample -100 would come out as -32767 instead of -32768). long double has it where it is the
// x87 80-bit type; elsewhere, or when the build asks for it, the software type computes it.
#if defined(SONAVELD_SOFT_EXTENDED)
constexpr bool kSoftExtended = true;
#else
constexpr bool kSoftExtended = std::numeric_limits<long double>::digits != 64;
#endif
using Extended = std::conditional_t<kSoftExtended, SoftExtended, long double>;

[[maybe_unused]] int64_t FloorToInt(long double x) { return static_cast<int64_t>(std::floor(x)); }

// Target constants C by sample size and mode; the two quotients are the extended values nearest
// to 32767 / 7.5 and to 10.16.
Extended TargetConstant(bool sixteenBit, NormalizeMode mode) {
  if (sixteenBit) return mode == NormalizeMode::kPeak ? Extended(32767) : Extended(32767) / Extended(7.5);
  return mode == NormalizeMode::kPeak ? Extended(127) : Extended(1016) / Extended(100);
}

// The gain of one channel: q = C / level once, then each sample s as Floor((q x s) x f),
// clamped to the sample range.
class ChannelGain {
 public:
  ChannelGain(bool sixteenBit, NormalizeMode mode, float factor, int32_t level)
      : q_(TargetConstant(sixteenBit, mode) / Extended(level)),
        factor_(factor),
        high_(sixteenBit ? 32767 : 127),
        low_(sixteenBit ? -32768 : -128) {}

  int Scale(int s) const {
    Extended r = q_ * Extended(s);
    r = r * factor_;
    // Clamp before the conversion, which keeps huge values out of the int range.
    if (r >= Extended(high_)) return high_;
    if (r < Extended(low_)) return low_;
    return static_cast<int>(FloorToInt(r));
  }

 private:
  Extended q_;
  Extended factor_;
  int high_;
  int low_;
};

}  // namespace

bool GainUsesSoftExtended() { return kSoftExtended; }

float PercentFactor(int percent) {
  const Extended hundredth = Extended(1) / Extended(100);  // the extended value nearest to 0.01
  return static_cast<float>(Extended(percent) * hundredth);
}

int ScaleSample(bool sixteenBit, NormalizeMode mode, float factor, int32_t level, int s) {
  return ChannelGain(sixteenBit, mode, factor, level).Scale(s);
}

int32_t ChosenLevel(const ChannelLevel& level, NormalizeMode mode) {
  return mode == NormalizeMode::kPeak ? level.peak : level.average;
}

void GainTable::Build(bool sixteenBit, NormalizeMode mode, float factor, int32_t level) {
  // A level of 0 keeps every sample; the gain is then made for level 1, only to avoid a division
  // by zero, and not used.
  const ChannelGain gain(sixteenBit, mode, factor, level == 0 ? 1 : level);
  if (sixteenBit) {
    for (int raw = 0; raw < 65536; ++raw) {
      const int s = static_cast<int16_t>(static_cast<uint16_t>(raw));
      const int v = level == 0 ? s : gain.Scale(s);
      table16_[raw] = static_cast<uint16_t>(static_cast<int16_t>(v));
    }
  } else {
    for (int raw = 0; raw < 256; ++raw) {
      const int s = raw - 128;
      const int v = level == 0 ? s : gain.Scale(s);
      table8_[raw] = static_cast<uint8_t>(v + 128);
    }
  }
}

}  // namespace sonaveld
