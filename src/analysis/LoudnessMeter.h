#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/IdleThrottle.h"
#include "base/Result.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"

namespace sonaveld {

// Loudness of a recording by ITU-R BS.1770-4 and EBU R128 (Tech 3341, Tech 3342): K-weighted mean
// square over 400 ms blocks every 100 ms, gated integrated loudness, loudness range, maximum
// momentary and short-term loudness, sample peak and true peak.

struct LoudnessOptions {
  // A mono file's channel counted twice (as the same signal on both channels of a stereo file
  // would measure); no effect on stereo files.
  bool dualMono = false;
  // Threads that share the work of one file; 0: one per processor. A caller that measures
  // several files at once may give 1.
  int threads = 0;
};

// The hooks of a measurement, as the pause finder's. Any of them may be empty. They are called on
// the calling thread only, between pieces of the work.
struct LoudnessHooks {
  // Asked regularly; true ends the measurement as stopped.
  std::function<bool()> stopTest;
  // Bytes of the sample area measured so far and in all.
  std::function<void(int64_t done, int64_t total)> progress;
  // Lets the caller process pending events, at most every idleInterval.
  std::function<void()> idle;
  // Shortest time between two idle calls; 0: after every piece.
  std::chrono::milliseconds idleInterval = IdleThrottle::kInterval;
};

// The figures of one file. A loudness with no block to measure is -infinity ("-inf").
struct LoudnessFigures {
  double integratedLufs;     // I, LUFS: gated at -70 LUFS and then 10 LU below the mean
  double lraLu;              // LRA, LU: 3 s blocks every 1 s, gated at -70 LUFS and -20 LU, 10th to
                             // 95th percentile; 0 with fewer than two blocks left
  double momentaryMaxLufs;   // the loudest 400 ms block (every 100 ms)
  double shortTermMaxLufs;   // the loudest 3 s block (every 100 ms)
  double samplePeakDbfs;     // largest |sample| as a fraction of full scale, dB
  double truePeakDbtp;       // largest |value| of the signal oversampled (4x below 96 kHz, else
                             // 2x), dB; never below samplePeakDbfs
  int64_t nonFiniteSamples;  // float samples that were NaN or infinite (measured as 0)
  // The channel-weighted mean square of every 400 ms block at or above the absolute gate, in
  // order: what the integrated loudness of several files together is made of.
  std::vector<double> gatingBlocks;
};

// The lowest sample rate measured, Hz: the K-weighting's shelf (near 1.7 kHz) must lie below half
// the rate, with room to spare.
constexpr int32_t kLoudnessMinRate = 4000;

// Measures the sample area [DataOffset, DataEnd) of a probed file (whole frames; a trailing
// partial frame is ignored) of 1 to 8 channels, weighted by LoudnessChannelWeight. Fails with "ファイル %s を読み込めません。" (path) on a read error;
// Stopped when the stop test said so; a header without a kind the meter reads is refused with
// the probe's bits message, a rate below kLoudnessMinRate with kLoudnessLowRate (path). The source must not be used by anything else until it returns.
Result<LoudnessFigures> MeasureLoudness(ByteSource& source, const WaveHeader& header,
                                        const LoudnessOptions& options = {}, const LoudnessHooks& hooks = {},
                                        const std::string& path = {});

// The integrated loudness (LUFS) of several files measured together, as if their gating blocks
// were one recording (for one gain for a whole album); -infinity when none has a block.
double AlbumIntegratedLufs(const std::vector<const LoudnessFigures*>& files);

// The integrated loudness of a list of gating blocks (mean squares at or above the absolute
// gate), with the relative gate of -10 LU; -infinity for none.
double GatedLoudness(const std::vector<const std::vector<double>*>& blockLists);

// The weight of channel `channel` (0-based) of a file of `channels` channels in the mean square,
// by the speaker positions of its channel mask (0 for none): channel n takes the n-th set bit.
// Files of 1 and 2 channels weigh 1.0 each; of 3 to 8: the low-frequency channel (0x8) 0, the
// surround ones (back left/right 0x10/0x20, back centre 0x100, side left/right 0x200/0x400) 1.41,
// every other channel 1.0, as do channels past the mask's set bits.
double LoudnessChannelWeight(uint32_t mask, int channel, int channels);

// Loudness in LUFS of a channel-weighted mean square: -0.691 + 10 log10(z); -infinity for 0.
double LufsOfEnergy(double meanSquare);

}  // namespace sonaveld
