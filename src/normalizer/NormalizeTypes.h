#pragma once
#include <cstdint>
#include <functional>

#include "document/FormatKind.h"

namespace sonaveld {

// Which level of a channel is brought to the target: the item index of the mode radio group.
enum class NormalizeMode : int {
  kPeak = 0,     // "最大値"
  kAverage = 1,  // "平均値"
};

// The levels of one channel, measured over one file's sample area.
struct ChannelLevel {
  int32_t peak = 0;     // largest absolute sample value: 0..32768 (16-bit), 0..128 (8-bit)
  int64_t total = 0;    // sum of the channel's block means over the full blocks
  int32_t average = 0;  // total div N (halved again for the 8-bit kinds)
};

// Levels of both channels of one file; a mono file uses the first only.
struct ChannelLevels {
  ChannelLevel channel[2];
};

// The per-block hooks of the two runs. Any of them may be empty.
struct RunHooks {
  // Called once per block, after the block was read and before any of its bytes is used;
  // true ends the run with Status::Stopped().
  std::function<bool()> stopTest;
  // Scaling run only: called once per block before the stop test with the block index k
  // (0-based) and the maximum S div B - 1.
  std::function<void(int64_t k, int64_t maximum)> progress;
  // Measuring run only: called once per block before the stop test with the block index k
  // (0-based) and the number of blocks the run reads.
  std::function<void(int64_t k, int64_t blocks)> measureProgress;
  // Lets the caller process pending events. Called after a full block has been used (and
  // written), but no more often than every IdleThrottle::kInterval, the first time one interval
  // after the run started.
  std::function<void()> idle;
};

// Block size B in bytes of a kind: 4000 for the 16-bit kinds, 2000 for the 8-bit kinds; 0 for none.
constexpr int64_t BlockBytes(FormatKind kind) {
  switch (kind) {
    case FormatKind::kStereo16:
    case FormatKind::kMono16: return 4000;
    case FormatKind::kStereo8:
    case FormatKind::kMono8: return 2000;
    default: break;  // kNone, and the kinds this does not handle yet
  }
  return 0;
}

constexpr bool IsSixteenBit(FormatKind kind) {
  return kind == FormatKind::kStereo16 || kind == FormatKind::kMono16;
}

constexpr bool IsStereo(FormatKind kind) {
  return kind == FormatKind::kStereo16 || kind == FormatKind::kStereo8;
}

}  // namespace sonaveld
