#include "normalizer/ClipCount.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "normalizer/SampleCodec.h"

namespace sonaveld {
namespace {

// The first value in [from, to] (walking away from 0) that clips, by bisection; outside when none.
template <class Clips>
int64_t FirstClipping(int64_t from, int64_t to, Clips clips) {
  const int64_t step = to >= from ? 1 : -1;
  if (!clips(to)) return to + step;
  while (from != to) {
    const int64_t middle = from + (to - from) / 2;
    if (clips(middle)) {
      to = middle;
    } else {
      from = middle + step;
    }
  }
  return to;
}

}  // namespace

ClipCounter::ClipCounter(FormatKind kind, const ChannelGain& first, const ChannelGain& second) : kind_(kind) {
  SetThresholds(0, first);
  SetThresholds(1, ChannelsOf(kind) == 2 ? second : first);
}

void ClipCounter::SetThresholds(int c, const ChannelGain& gain) {
  if (IsFloatKind(kind_)) {
    // Positive finite floats are ordered as their bit patterns; the negative side mirrors them.
    const auto clips = [&](int64_t bits) { return gain.Clips(std::bit_cast<float>(static_cast<uint32_t>(bits))); };
    const int64_t first = FirstClipping(0, 0x7f7fffff, clips);
    floatAbove_[c] = first > 0x7f7fffff ? INFINITY : std::bit_cast<float>(static_cast<uint32_t>(first));
    active_ = active_ || first <= 0x7f7fffff;
    return;
  }
  const int64_t high = (int64_t{1} << (8 * SampleBytes(kind_) - 1)) - 1;
  above_[c] = FirstClipping(1, high, [&](int64_t s) { return gain.Clips(s); });
  below_[c] = FirstClipping(-1, -high - 1, [&](int64_t s) { return gain.Clips(s); });
  active_ = active_ || above_[c] <= high || below_[c] >= -high - 1;
}

void ClipCounter::Count(const uint8_t* in, int64_t n) {
  if (!active_) return;
  const int bytes = SampleBytes(kind_);
  const int channels = ChannelsOf(kind_);
  const SampleEncoding encoding = EncodingOf(kind_);
  const int64_t samples = n / bytes;
  for (int64_t i = 0; i < samples; ++i) {
    const auto c = static_cast<size_t>(i % channels);
    if (encoding == SampleEncoding::kFloat32) {
      float x;
      std::memcpy(&x, in + i * bytes, 4);
      clipped_[c] += std::isfinite(x) && std::fabs(x) >= floatAbove_[c];
    } else {
      const int64_t s = ReadInteger(encoding, in + i * bytes);
      clipped_[c] += s >= above_[c] || s <= below_[c];
    }
  }
}

void LinkLevels(FormatKind kind, NormalizeMode mode, ChannelLevels& levels) {
  LinkLevels(SampleLayoutOf(kind), mode, levels);
}

void LinkLevels(const SampleLayout& layout, NormalizeMode mode, ChannelLevels& levels) {
  if (layout.channels < 2) return;
  ChannelLevel top = levels.channel[0];
  for (int c = 1; c < layout.channels; ++c) {
    const ChannelLevel& b = levels.channel[c];
    if (layout.encoding == SampleEncoding::kFloat32) {
      if (mode == NormalizeMode::kPeak) {
        top.floatPeak = std::max(top.floatPeak, b.floatPeak);
      } else if (top.floatAverage < b.floatAverage) {
        top.floatAverage = b.floatAverage;
      }
    } else if (mode == NormalizeMode::kPeak) {
      top.peak = std::max(top.peak, b.peak);
    } else {
      top.average = std::max(top.average, b.average);
    }
  }
  for (int c = 0; c < layout.channels; ++c) {
    ChannelLevel& level = levels.channel[c];  // the chosen level only; the others stay
    if (mode == NormalizeMode::kPeak) {
      level.peak = top.peak, level.floatPeak = top.floatPeak;
    } else {
      level.average = top.average, level.floatAverage = top.floatAverage;
    }
  }
}

}  // namespace sonaveld
