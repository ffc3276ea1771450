#pragma once
#include <cstdint>
#include <vector>

#include "document/SampleLayout.h"
#include "normalizer/SampleKernels.h"

namespace sonaveld {

// The generator of the dither: splitmix64 from one fixed starting state for every file, so the
// same input always gives the same bytes.
class DitherSource {
 public:
  static constexpr uint64_t kSeed = 0x5eed0f5a11d1a7e5ULL;
  // The next triangular value in (-1, 1) LSB: the difference of two uniform values in [0, 1).
  double Next() { return Uniform() - Uniform(); }

 private:
  double Uniform();
  uint64_t state_ = kSeed;
};

// Scales every sample of one file by one plain gain g (every channel alike), sample by sample:
// the integer kinds y = clamp(round-half-even(s x g)) in double precision (with dither: s x g plus
// a triangular value of +-1 LSB before the rounding), float y = (float)(x x g) with samples that
// are not finite kept; the bytes of an incomplete last sample are copied. No dynamic processing.
class PlainGainMapper {
 public:
  // The samples of layout (1 to 8 channels); gain: the linear factor (10^(G/20)); dither applies
  // to the integer encodings only.
  PlainGainMapper(const SampleLayout& layout, double gain, bool dither);

  // Maps the first n bytes of the file's next block (starting on a frame; the blocks must come in
  // file order, which the dither follows) from in to out.
  void Map(const uint8_t* in, int64_t n, uint8_t* out);

  // Samples of a channel whose result was clamped to the kind's range.
  int64_t clipped(int channel) const { return clipped_[channel]; }

 private:
  // The scaled integer s x g (+ d) clamped to the range, counting a clamp on channel c.
  int64_t ScaleInteger(int64_t s, double d, int c);
  // The channel of sample i of a block (blocks start on a frame).
  int64_t ChannelOf(int64_t i) const { return channels_ <= 2 ? i & (channels_ - 1) : i % channels_; }
  void MapTable(const uint8_t* in, int64_t samples, uint8_t* out);
  void MapDirect(const uint8_t* in, int64_t samples, uint8_t* out);
  // True when the vector path gives the table's result and clamp for every 16-bit value (and
  // sets clamp_); false where it does not run.
  bool FastAgreesWithTable();

  SampleEncoding encoding_;
  int bytes_;
  int channels_;
  double gain_;
  bool dither_;
  int64_t high_ = 0, low_ = 0;
  DitherSource source_;
  std::vector<int16_t> table_;  // 8/16-bit without dither: the result of every sample value
  std::vector<uint8_t> clips_;  // and whether it was clamped
  int64_t clipped_[kMaxChannels] = {};
  bool fast_ = false;  // 16-bit: the vector path, checked against the table, maps the samples
  PlainClamp clamp_;
};

}  // namespace sonaveld
