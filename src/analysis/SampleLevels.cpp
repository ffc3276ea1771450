// Peak levels of runs of samples. These loops see every sample of a file, so they keep to
// minimum and maximum, which the compiler turns into packed instructions (built with -O3).
#include "analysis/SampleLevels.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "document/SampleLayout.h"
#include "document/Samples24.h"

namespace sonaveld {
namespace {

static_assert(std::endian::native == std::endian::little, "samples are read as little-endian words");

// Signed 16-bit samples: the largest of |min| and |max| (-32768 gives 32768).
double MaxAbs16(const uint8_t* data, int64_t samples) {
  int16_t low = 0;
  int16_t high = 0;
  for (int64_t i = 0; i < samples; ++i) {
    int16_t v;
    std::memcpy(&v, data + 2 * i, 2);
    low = std::min(low, v);
    high = std::max(high, v);
  }
  return std::max(-static_cast<int32_t>(low), static_cast<int32_t>(high));
}

// Unsigned 8-bit samples centred on 128.
double MaxAbs8(const uint8_t* data, int64_t samples) {
  uint8_t low = 128;
  uint8_t high = 128;
  for (int64_t i = 0; i < samples; ++i) {
    low = std::min(low, data[i]);
    high = std::max(high, data[i]);
  }
  return std::max(128 - low, high - 128);
}

// Signed 24-bit samples, four at a time from three 32-bit words, as v × 256 (which keeps their
// order), shifted back at the end.
double MaxAbs24(const uint8_t* data, int64_t samples) {
  int32_t low = 0;
  int32_t high = 0;
  int64_t i = 0;
  for (; i + 4 <= samples; i += 4) {
    int32_t four[4];
    FourShifted24(data + 3 * i, four);
    for (int32_t v : four) {
      low = std::min(low, v);
      high = std::max(high, v);
    }
  }
  for (; i < samples; ++i) {
    low = std::min(low, Shifted24(data + 3 * i));
    high = std::max(high, Shifted24(data + 3 * i));
  }
  return std::max(-static_cast<double>(low >> 8), static_cast<double>(high >> 8));
}

// Signed 32-bit samples (-2147483648 gives 2147483648).
double MaxAbs32(const uint8_t* data, int64_t samples) {
  int32_t low = 0;
  int32_t high = 0;
  for (int64_t i = 0; i < samples; ++i) {
    int32_t v;
    std::memcpy(&v, data + 4 * i, 4);
    low = std::min(low, v);
    high = std::max(high, v);
  }
  return std::max(-static_cast<double>(low), static_cast<double>(high));
}

// Float samples: the largest |x|, found as the largest of the bit patterns with the sign bit
// cleared, which order as the magnitudes do (integer maxima vectorize where float ones with NaN
// do not). Infinity is 0x7F800000 and every NaN lies above it: a NaN counts as loud.
double MaxAbsFloat(const uint8_t* data, int64_t samples) {
  int32_t high = 0;
  for (int64_t i = 0; i < samples; ++i) {
    int32_t bits;
    std::memcpy(&bits, data + 4 * i, 4);
    high = std::max(high, bits & 0x7FFFFFFF);
  }
  constexpr int32_t kInfinity = 0x7F800000;
  if (high >= kInfinity) return std::numeric_limits<double>::infinity();
  return std::bit_cast<float>(high);
}

}  // namespace

LevelLayout LevelLayoutOf(const SampleLayout& layout) {
  double (*maxAbs)(const uint8_t*, int64_t) = nullptr;
  switch (layout.encoding) {
    case SampleEncoding::kPcm8: maxAbs = MaxAbs8; break;
    case SampleEncoding::kPcm16: maxAbs = MaxAbs16; break;
    case SampleEncoding::kPcm24: maxAbs = MaxAbs24; break;
    case SampleEncoding::kPcm32: maxAbs = MaxAbs32; break;
    case SampleEncoding::kFloat32: maxAbs = MaxAbsFloat; break;
    case SampleEncoding::kNone: return {};
  }
  return {layout.channels, layout.sampleBytes, layout.fullScale, maxAbs};
}

LevelLayout LevelLayoutOf(FormatKind kind) { return LevelLayoutOf(SampleLayoutOf(kind)); }

}  // namespace sonaveld
