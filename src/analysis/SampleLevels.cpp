// Peak levels of runs of samples. These loops see every sample of a file, so they keep to
// minimum and maximum, which the compiler turns into packed instructions (built with -O3).
#include "analysis/SampleLevels.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace sonaveld {
namespace {

static_assert(std::endian::native == std::endian::little, "16-bit samples are read as little-endian words");

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

}  // namespace

LevelLayout LevelLayoutOf(FormatKind kind) {
  switch (kind) {
    case FormatKind::kStereo16: return {2, 2, 32768.0, MaxAbs16};
    case FormatKind::kMono16: return {1, 2, 32768.0, MaxAbs16};
    case FormatKind::kStereo8: return {2, 1, 128.0, MaxAbs8};
    case FormatKind::kMono8: return {1, 1, 128.0, MaxAbs8};
    default: break;  // kNone, and the kinds this does not handle yet
  }
  return {};
}

}  // namespace sonaveld
