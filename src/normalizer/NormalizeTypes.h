#pragma once
#include <cstdint>
#include <functional>

#include "document/FormatKind.h"
#include "document/SampleLayout.h"
#include "base/Extended.h"

namespace sonaveld {

// Which level of a channel is brought to the target: the item index of the mode radio group.
enum class NormalizeMode : int {
  kPeak = 0,     // "最大値"
  kAverage = 1,  // "平均値"
  kLoudness = 2,  // "ラウドネス": one plain gain per file, set from its measured loudness
};

// The levels of one channel, measured over one file's sample area.
struct ChannelLevel {
  // The integer kinds:
  int64_t peak = 0;     // largest absolute sample value: 0..128, 0..32768, 0..2^23, 0..2^31 by bits
  int64_t total = 0;    // sum of the channel's block means over the full blocks
  int64_t average = 0;  // total div N (halved again for the 8-bit kinds)
  // The float kinds, over the finite samples (NaN and infinities count for neither level):
  float floatPeak = 0;        // largest absolute value
  Extended floatTotal{};      // sum of the block means, in extended precision
  Extended floatAverage{};    // floatTotal / N in extended precision
};

// Levels of every channel of one file, in file order; a mono file uses the first only.
struct ChannelLevels {
  ChannelLevel channel[kMaxChannels];
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

// What the pass did to one entry: the chosen levels (peak and average modes), each channel's
// gain and the samples the gain clamped, by channel in file order (the first `channels` hold).
struct EntryFigures {
  FormatKind kind = FormatKind::kNone;  // kNone for a file of 3 to 8 channels
  int channels = 0;
  double levelDbfs[kMaxChannels] = {};  // the chosen level as a fraction of full scale, dB (-inf for 0)
  double gainDb[kMaxChannels] = {};     // the gain applied, dB (0 where samples were kept)
  int64_t clipped[kMaxChannels] = {};   // samples clamped to the kind's range
};

// Samples in one block of the two runs, whatever the kind.
constexpr int64_t kBlockSamples = 2000;

// Block size B in bytes of a kind: 2000 samples (4000 bytes for the 16-bit kinds, 2000 for the
// 8-bit kinds, 6000 for 24-bit, 8000 for 32-bit and float); 0 for none.
inline int64_t BlockBytes(FormatKind kind) { return kBlockSamples * SampleBytes(kind); }
// Block size of any layout: a kind's for 1 and 2 channels; for more, the whole frames that fit in
// 2000 samples, so that every block starts on a frame (666 frames of 3 channels, 333 of 6, 250 of 8).
inline int64_t BlockBytes(const SampleLayout& layout) {
  if (layout.channels <= 2) return BlockBytes(KindOfLayout(layout));
  return kBlockSamples / layout.channels * layout.FrameBytes();
}

inline bool IsSixteenBit(FormatKind kind) { return EncodingOf(kind) == SampleEncoding::kPcm16; }
inline bool IsEightBit(FormatKind kind) { return EncodingOf(kind) == SampleEncoding::kPcm8; }
// The kinds of 24 and 32 bits and float, which the gain tables cannot hold.
inline bool IsWide(FormatKind kind) { return SampleBytes(kind) >= 3; }
inline bool IsStereo(FormatKind kind) { return ChannelsOf(kind) == 2; }

}  // namespace sonaveld
