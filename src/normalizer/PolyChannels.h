#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "document/SampleLayout.h"
#include "normalizer/ClipCount.h"
#include "normalizer/NormalizeTypes.h"
#include "normalizer/SampleGain.h"
#include "normalizer/SampleKernels.h"
#include "normalizer/SampleMapper.h"

namespace sonaveld {

// Files of 3 to 8 channels go through the one-channel loops: the samples of one channel in a
// block are gathered into a buffer of their own, measured or mapped there as a mono file of the
// same encoding would be (vector paths and exact tables alike), and put back in place. So every
// channel's figures and bytes are exactly those of a mono file that held that channel alone.

// The mono kind of a layout's encoding (kNone without one).
FormatKind MonoKindOf(const SampleLayout& layout);

// The statistics of each channel's whole samples among the first n bytes of a block (starting on
// a frame): stats[c] as MeasureSamples gives them for a mono block of channel c's samples.
void MeasurePolyBlock(const SampleLayout& layout, const uint8_t* data, int64_t n, BlockStats stats[kMaxChannels]);

// The peak and average modes' scaling of a file of 3 to 8 channels, each channel by its own gain
// from its chosen level, counting the samples the gains clamp.
class PolyMapper {
 public:
  PolyMapper(const SampleLayout& layout, NormalizeMode mode, float factor, const ChannelLevels& levels);

  // Maps the first n bytes of a block (starting on a frame, at most BlockBytes(layout)) from in
  // to out; an incomplete last sample is copied. count: also count the clamped samples.
  void Map(const uint8_t* in, int64_t n, uint8_t* out, bool count);
  // True when some sample value of some channel can clip (counting is needed).
  bool countsClips() const;
  // Samples of channel c clamped so far.
  int64_t clipped(int c) const { return channels_[static_cast<size_t>(c)]->counter.clipped(0); }

 private:
  struct Channel {
    Channel(FormatKind mono, NormalizeMode mode, float factor, const ChannelLevel& level);
    ChannelGain gain;
    SampleMapper mapper;
    ClipCounter counter;
  };

  SampleLayout layout_;
  std::vector<std::unique_ptr<Channel>> channels_;
  std::vector<uint8_t> gathered_, mapped_;
};

}  // namespace sonaveld
