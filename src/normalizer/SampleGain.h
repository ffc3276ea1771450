#pragma once
#include <array>
#include <cstdint>

#include "normalizer/NormalizeTypes.h"

namespace sonaveld {

// True when the gain is computed with SoftExtended: where long double is not the 80-bit extended
// type, or when the build forces it (SONAVELD_SOFT_EXTENDED).
bool GainUsesSoftExtended();

// The percentage factor f: p x 0.01 multiplied in extended precision, stored as a float
// (100 gives exactly 1, 150 exactly 1.5, 80 gives 0.800000011920929).
float PercentFactor(int percent);

// Scales one signed sample s (-32768..32767 for 16-bit, -128..127 for 8-bit) of a channel
// whose chosen level is level (> 0): q = C / level, r = q * s, r = r * f in 80-bit extended
// arithmetic, floored and clamped to the sample range. Returns the signed result.
int ScaleSample(bool sixteenBit, NormalizeMode mode, float factor, int32_t level, int s);

// The chosen level of a channel: its peak in peak mode, its average in average mode.
int32_t ChosenLevel(const ChannelLevel& level, NormalizeMode mode);

// The result of ScaleSample for every possible sample value of one channel, computed once per
// file, so the scaling run maps samples by lookup. A level of 0 (a silent channel, or an
// average that came to 0) leaves every sample unchanged.
class GainTable {
 public:
  // Fills the table for one channel of a file.
  void Build(bool sixteenBit, NormalizeMode mode, float factor, int32_t level);

  // 16-bit: the scaled sample for the raw little-endian 16-bit pattern raw.
  uint16_t Map16(uint16_t raw) const { return table16_[raw]; }
  // 8-bit: the scaled byte (v + 128) for the raw unsigned byte raw.
  uint8_t Map8(uint8_t raw) const { return table8_[raw]; }

 private:
  std::array<uint16_t, 65536> table16_{};
  std::array<uint8_t, 256> table8_{};
};

}  // namespace sonaveld
