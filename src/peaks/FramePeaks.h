#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "document/SampleLayout.h"

namespace sonaveld::peaks {

// Smallest and largest sample value of one channel over some frames, at lane scale: signed
// 16-bit values (24-bit, 32-bit and float samples brought to that scale, peaks/LaneScale.h),
// except for the 8-bit kinds, whose unsigned bytes 0..255 are held as they are.
// Empty (no frame seen) while min > max.
struct ChannelPeak {
  int16_t min = std::numeric_limits<int16_t>::max();
  int16_t max = std::numeric_limits<int16_t>::min();

  bool empty() const { return min > max; }
  void Add(int16_t value) {
    min = std::min(min, value);
    max = std::max(max, value);
  }
  void Add(const ChannelPeak& other) {
    min = std::min(min, other.min);
    max = std::max(max, other.max);
  }
  bool operator==(const ChannelPeak&) const = default;
};

// The peaks of every channel in file order (left, right, ...); channels the layout does not have
// stay empty.
struct FramePeaks {
  std::array<ChannelPeak, kMaxChannels> channel;

  void Add(const FramePeaks& other) {
    for (size_t c = 0; c < channel.size(); ++c) channel[c].Add(other.channel[c]);
  }
  bool operator==(const FramePeaks&) const = default;
};

}  // namespace sonaveld::peaks
