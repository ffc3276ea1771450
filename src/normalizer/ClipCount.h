#pragma once
#include <cstdint>

#include "document/SampleLayout.h"
#include "normalizer/NormalizeTypes.h"
#include "normalizer/SampleGain.h"

namespace sonaveld {

// Counts, for the peak and average modes, the samples whose scaled value the gain clamps to the
// kind's range (what the scaling run does silently). The gain is monotonic in the sample, so each
// channel has a first clipping value above and below 0, found once by bisection on the exact gain.
class ClipCounter {
 public:
  // Sets up the count for the gains of a file's channels (the second is unused for mono).
  ClipCounter(FormatKind kind, const ChannelGain& first, const ChannelGain& second);

  // False when no sample value of the file can clip: Count is then not needed.
  bool active() const { return active_; }
  // Counts the whole samples among the first n bytes of a block (starting on a frame).
  void Count(const uint8_t* in, int64_t n);
  // Samples of a channel clamped so far.
  int64_t clipped(int channel) const { return clipped_[channel]; }

 private:
  void SetThresholds(int c, const ChannelGain& gain);

  FormatKind kind_;
  int64_t above_[2] = {0, 0};  // integer kinds: s >= above_ clips; s <= below_ clips
  int64_t below_[2] = {0, 0};
  float floatAbove_[2] = {0, 0};  // float: finite |x| >= floatAbove_ clips
  bool active_ = false;
  int64_t clipped_[2] = {0, 0};
};

// "チャンネル連動": one gain for all channels of a stereo file, the smallest of the channels' gains,
// so the balance stays. The gain falls as the chosen level rises, so every channel takes the
// largest chosen level (peak or average by mode) of the file.
void LinkLevels(FormatKind kind, NormalizeMode mode, ChannelLevels& levels);
// The same for the channels of any layout (1 to 8): all take the largest chosen level.
void LinkLevels(const SampleLayout& layout, NormalizeMode mode, ChannelLevels& levels);

}  // namespace sonaveld
