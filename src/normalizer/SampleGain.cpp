#include "normalizer/SampleGain.h"

#include <cmath>

#include "document/SampleLayout.h"

namespace sonaveld {
namespace {

[[maybe_unused]] int64_t FloorToInt(long double x) { return static_cast<int64_t>(std::floor(x)); }

// The largest sample value of a kind: the target of peak mode.
int64_t LargestSample(FormatKind kind) {
  switch (EncodingOf(kind)) {
    case SampleEncoding::kPcm8: return 127;
    case SampleEncoding::kPcm16: return 32767;
    case SampleEncoding::kPcm24: return 8388607;
    case SampleEncoding::kPcm32: return 2147483647;
    case SampleEncoding::kFloat32:
    case SampleEncoding::kNone: break;
  }
  return 1;
}

// The target constant C of a kind and mode; the quotients are the nearest extended values.
Extended TargetConstant(FormatKind kind, NormalizeMode mode) {
  const auto largest = Extended(LargestSample(kind));
  if (mode == NormalizeMode::kPeak) return largest;
  if (EncodingOf(kind) == SampleEncoding::kPcm8) return Extended(1016) / Extended(100);
  return largest / Extended(7.5);
}

}  // namespace

bool GainUsesSoftExtended() { return kSoftExtended; }

float PercentFactor(int percent) {
  const Extended hundredth = Extended(1) / Extended(100);  // the extended value nearest to 0.01
  return static_cast<float>(Extended(percent) * hundredth);
}

// A level of 0 keeps every sample; q is then made for level 1, only to avoid a division by zero,
// and not used.
ChannelGain::ChannelGain(FormatKind kind, NormalizeMode mode, float factor, Extended level)
    : q_(TargetConstant(kind, mode) / (level == Extended(0) ? Extended(1) : level)),
      factor_(static_cast<double>(factor)),
      high_(LargestSample(kind)),
      low_(-LargestSample(kind) - 1),
      keeps_(level == Extended(0)) {}

int64_t ChannelGain::Scale(int64_t s) const {
  if (keeps_) return s;
  Extended r = q_ * Extended(s);
  r = r * factor_;
  // Clamp before the conversion, which keeps huge values out of the integer range.
  if (r >= Extended(high_)) return high_;
  if (r < Extended(low_)) return low_;
  return FloorToInt(r);
}

float ChannelGain::Scale(float x) const {
  if (keeps_) return x;
  Extended r = q_ * Extended(static_cast<double>(x));
  r = r * factor_;
  if (r > Extended(1)) return 1.0f;
  if (r < Extended(-1)) return -1.0f;
  return static_cast<float>(r);
}

bool ChannelGain::Clips(int64_t s) const {
  if (keeps_) return false;
  const Extended r = (q_ * Extended(s)) * factor_;
  return r >= Extended(high_ + 1) || r < Extended(low_);
}

bool ChannelGain::Clips(float x) const {
  if (keeps_) return false;
  const Extended r = (q_ * Extended(static_cast<double>(x))) * factor_;
  return r > Extended(1) || r < Extended(-1);
}

double ChannelGain::Approximate() const {
  return static_cast<double>(q_) * static_cast<double>(factor_);
}

bool ChannelGain::ApproximationExact() const {
  const auto q = static_cast<double>(q_);
  const auto f = static_cast<double>(factor_);
  return Extended(q) == q_ && std::fma(q, f, -(q * f)) == 0;
}

int ScaleSample(bool sixteenBit, NormalizeMode mode, float factor, int32_t level, int s) {
  const FormatKind kind = sixteenBit ? FormatKind::kMono16 : FormatKind::kMono8;
  return static_cast<int>(ChannelGain(kind, mode, factor, Extended(level)).Scale(int64_t{s}));
}

int64_t ChosenLevel(const ChannelLevel& level, NormalizeMode mode) {
  return mode == NormalizeMode::kPeak ? level.peak : level.average;
}

Extended ChosenLevel(FormatKind kind, const ChannelLevel& level, NormalizeMode mode) {
  if (!IsFloatKind(kind)) return Extended(ChosenLevel(level, mode));
  return mode == NormalizeMode::kPeak ? Extended(static_cast<double>(level.floatPeak)) : level.floatAverage;
}

void DescribeGains(FormatKind kind, NormalizeMode mode, float factor, const ChannelLevels& levels,
                   EntryFigures& figures) {
  DescribeGains(SampleLayoutOf(kind), mode, factor, levels, figures);
}

void DescribeGains(const SampleLayout& layout, NormalizeMode mode, float factor, const ChannelLevels& levels,
                   EntryFigures& figures) {
  const double fullScale = layout.fullScale;
  const FormatKind kind = KindOf(layout.encoding, 1);  // a channel's gain depends on its encoding alone
  for (int c = 0; c < layout.channels; ++c) {
    const Extended chosen = ChosenLevel(kind, levels.channel[c], mode);
    const bool halved = IsEightBit(kind) && mode == NormalizeMode::kAverage;
    const double level = static_cast<double>(chosen) * (halved ? 2.0 : 1.0) / fullScale;
    figures.levelDbfs[c] = 20.0 * std::log10(level);  // -inf for a silent channel
    const ChannelGain gain(kind, mode, factor, chosen);
    figures.gainDb[c] = gain.keeps() ? 0.0 : 20.0 * std::log10(gain.Approximate());
  }
}

void GainTable::Build(bool sixteenBit, NormalizeMode mode, float factor, int32_t level) {
  const ChannelGain gain(sixteenBit ? FormatKind::kMono16 : FormatKind::kMono8, mode, factor, Extended(level));
  if (sixteenBit) {
    for (int raw = 0; raw < 65536; ++raw) {
      const int s = static_cast<int16_t>(static_cast<uint16_t>(raw));
      table16_[raw] = static_cast<uint16_t>(static_cast<int16_t>(gain.Scale(int64_t{s})));
    }
  } else {
    for (int raw = 0; raw < 256; ++raw) table8_[raw] = static_cast<uint8_t>(gain.Scale(int64_t{raw - 128}) + 128);
  }
}

}  // namespace sonaveld
