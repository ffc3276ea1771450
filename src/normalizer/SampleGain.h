#pragma once
#include <array>
#include <cstdint>

#include "base/Extended.h"
#include "normalizer/NormalizeTypes.h"

namespace sonaveld {

// True when the gain is computed with SoftExtended: where long double is not the 80-bit extended
// type, or when the build forces it (SONAVELD_SOFT_EXTENDED).
bool GainUsesSoftExtended();

// The percentage factor f: p x 0.01 multiplied in extended precision, stored as a float
// (100 gives exactly 1, 150 exactly 1.5, 80 gives 0.800000011920929).
float PercentFactor(int percent);

// The gain of one channel of a file, exact: q = C / L once, then for each sample s, in 80-bit
// extended arithmetic, r = q x s and r = r x f; the integer kinds floor r and clamp it to their
// sample range, the float kinds clamp it to -1..1 and round it to the nearest float. C by kind and
// mode: the largest sample value (127, 32767, 8388607, 2147483647; 1 for float) in peak mode; in
// average mode that divided by 7.5 (the nearest extended value), but 10.16 for the 8-bit kinds. A
// level L of 0 keeps every sample as it is.
class ChannelGain {
 public:
  ChannelGain(FormatKind kind, NormalizeMode mode, float factor, Extended level);

  // True when the level is 0 and samples are kept.
  bool keeps() const { return keeps_; }
  // Integer kinds: the scaled value of the signed sample s.
  int64_t Scale(int64_t s) const;
  // Float kinds: the scaled value of the finite sample x.
  float Scale(float x) const;

  // True when the scaled value of s (or of the finite x) lies beyond the kind's range, so that
  // Scale clamps it: r >= the largest value + 1 or r < the smallest (float: |r| > 1).
  bool Clips(int64_t s) const;
  bool Clips(float x) const;

  // The gain q x f in double precision, for fast paths that check where it gives the exact result.
  double Approximate() const;
  // True when q is a double and q x f is exactly Approximate().
  bool ApproximationExact() const;

 private:
  Extended q_;
  Extended factor_;
  int64_t high_;
  int64_t low_;
  bool keeps_;
};

// Scales one signed sample s (-32768..32767 for 16-bit, -128..127 for 8-bit) of a channel whose
// chosen level is level, as ChannelGain does.
int ScaleSample(bool sixteenBit, NormalizeMode mode, float factor, int32_t level, int s);

// The chosen level of a channel of an integer kind: its peak in peak mode, its average in average
// mode.
int64_t ChosenLevel(const ChannelLevel& level, NormalizeMode mode);
// The chosen level of a channel of any kind as the gain takes it (the float kinds' own fields).
Extended ChosenLevel(FormatKind kind, const ChannelLevel& level, NormalizeMode mode);

// Fills figures' levels (dBFS) and gains (dB) of each channel of a file for the report: the chosen
// level as a fraction of full scale (the 8-bit average as the mean of |byte - 128|, before the
// halving the gain works with) and 20 log10(q x f), 0 dB for a channel kept as it is.
void DescribeGains(FormatKind kind, NormalizeMode mode, float factor, const ChannelLevels& levels,
                   EntryFigures& figures);
// The same for the channels of any layout (1 to 8), each as a mono file of its encoding.
void DescribeGains(const SampleLayout& layout, NormalizeMode mode, float factor, const ChannelLevels& levels,
                   EntryFigures& figures);

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
