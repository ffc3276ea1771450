#include "analysis/SampleDecode.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "analysis/LoudnessLanes.h"
#include "analysis/SampleLevels.h"
#include "document/Samples24.h"

namespace sonaveld {
namespace {

// Decodes with read(bytes) giving a sample's value already scaled to full scale. The meter's
// rows are kLoudnessLanes wide; a stride known here lets the compiler vectorize the stores.
// The peak is left to the caller, except for float samples (Peak true), whose non-finite values
// count as 0.
template <int Channels, int Bytes, bool Peak, bool Wide = false, class Read>
SONAVELD_INLINE void DecodeWith(const uint8_t* data, int64_t frames, const DecodeTarget& t, DecodeTally& tally, Read read) {
  double peak = tally.peak;
  for (int64_t i = 0; i < frames; ++i) {
    for (int c = 0; c < Channels; ++c) {
      const double v = read(data + (i * Channels + c) * Bytes);
      const int64_t at = i * kLoudnessLanes + t.firstLane + c;
      if constexpr (Wide) t.doubles[at] = v;
      t.floats[at] = static_cast<float>(v);
      if constexpr (Peak) peak = std::max(peak, std::fabs(v));
    }
  }
  tally.peak = peak;
}

#if SONAVELD_LANE_VECTORS
// 16-bit frames of 1 or 2 channels, eight samples a step as vectors: their largest and smallest
// values kept as integers (the peak), their fractions of full scale stored a frame at a time in
// the rows. Returns the frames it decoded (whole steps); the rest is the caller's.
template <int Channels>
SONAVELD_INLINE int64_t DecodePcm16Steps(const uint8_t* data, int64_t frames, const DecodeTarget& t, DecodeTally& tally) {
  typedef int16_t Shorts __attribute__((vector_size(16)));
  typedef float Floats __attribute__((vector_size(32)));
  constexpr int kFrames = 8 / Channels;
  const int64_t steps = frames / kFrames;
  Shorts top{}, bottom{};
  float* out = t.floats + t.firstLane;
  for (int64_t k = 0; k < steps; ++k) {
    Shorts v;
    std::memcpy(&v, data + k * 16, 16);
    top = v > top ? v : top;
    bottom = v < bottom ? v : bottom;
    const Floats f = __builtin_convertvector(v, Floats) * (1.0f / 32768.0f);
    float values[8];
    std::memcpy(values, &f, sizeof values);
    for (int j = 0; j < kFrames; ++j) {
      std::memcpy(out + (k * kFrames + j) * kLoudnessLanes, values + j * Channels, sizeof(float) * Channels);
    }
  }
  int high = 0, low = 0;
  for (int j = 0; j < 8; ++j) {
    high = std::max<int>(high, top[j]);
    low = std::min<int>(low, bottom[j]);
  }
  tally.peak = std::max(tally.peak, std::max(high, -low) / 32768.0);
  return steps * kFrames;
}
#endif

template <int Channels>
SONAVELD_INLINE void DecodeChannels(SampleEncoding encoding, const uint8_t* data, int64_t frames, const DecodeTarget& t,
                    DecodeTally& tally) {
  switch (encoding) {
    case SampleEncoding::kPcm8:
      DecodeWith<Channels, 1, false>(data, frames, t, tally, [](const uint8_t* b) { return (b[0] - 128) / 128.0; });
      break;
    case SampleEncoding::kPcm16:
      DecodeWith<Channels, 2, false>(data, frames, t, tally, [](const uint8_t* b) {
        int16_t v;
        std::memcpy(&v, b, 2);
        return v / 32768.0;
      });
      break;
    case SampleEncoding::kPcm24:
      DecodeWith<Channels, 3, false>(data, frames, t, tally, [](const uint8_t* b) { return Signed24(b) / 8388608.0; });
      break;
    case SampleEncoding::kPcm32:
      DecodeWith<Channels, 4, false, true>(data, frames, t, tally, [](const uint8_t* b) {
        int32_t v;
        std::memcpy(&v, b, 4);
        return v / 2147483648.0;
      });
      break;
    case SampleEncoding::kFloat32: {
      int64_t bad = 0;
      DecodeWith<Channels, 4, true>(data, frames, t, tally, [&bad](const uint8_t* b) {
        float v;
        std::memcpy(&v, b, 4);
        if (std::isfinite(v)) return static_cast<double>(v);
        ++bad;
        return 0.0;
      });
      tally.nonFinite += bad;
      break;
    }
    case SampleEncoding::kNone: break;
  }
}

}  // namespace

bool DoubleRows(const SampleLayout& layout) { return layout.encoding == SampleEncoding::kPcm32; }

SONAVELD_LANE_CLONES
void DecodeFrames(const SampleLayout& layout, const uint8_t* data, int64_t frames, DecodeTarget target,
                  DecodeTally& tally) {
#if SONAVELD_LANE_VECTORS
  // The most common kinds in one vector loop, peak and rows together.
  if (layout.encoding == SampleEncoding::kPcm16 && layout.channels <= 2) {
    const int64_t done = layout.channels == 1 ? DecodePcm16Steps<1>(data, frames, target, tally)
                                              : DecodePcm16Steps<2>(data, frames, target, tally);
    if (done == frames) return;
    data += done * layout.FrameBytes();
    frames -= done;
    target = DecodeTarget{target.doubles, target.floats + done * kLoudnessLanes, target.firstLane};
  }
#endif
  // Integer peaks from the level loops, which work on the integers and vectorize; the peak of
  // every sample whatever its channel, so the samples are taken as a mono file's.
  if (layout.encoding != SampleEncoding::kFloat32) {
    const LevelLayout levels = LevelLayoutOf(KindOf(layout.encoding, layout.channels <= 2 ? layout.channels : 1));
    tally.peak = std::max(tally.peak, levels.maxAbs(data, frames * layout.channels) / layout.fullScale);
  }
  switch (layout.channels) {
    case 1: return DecodeChannels<1>(layout.encoding, data, frames, target, tally);
    case 2: return DecodeChannels<2>(layout.encoding, data, frames, target, tally);
    case 3: return DecodeChannels<3>(layout.encoding, data, frames, target, tally);
    case 4: return DecodeChannels<4>(layout.encoding, data, frames, target, tally);
    case 5: return DecodeChannels<5>(layout.encoding, data, frames, target, tally);
    case 6: return DecodeChannels<6>(layout.encoding, data, frames, target, tally);
    case 7: return DecodeChannels<7>(layout.encoding, data, frames, target, tally);
    case 8: return DecodeChannels<8>(layout.encoding, data, frames, target, tally);
    default: break;
  }
}

}  // namespace sonaveld
