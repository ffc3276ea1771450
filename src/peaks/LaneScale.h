#pragma once
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "document/FormatKind.h"
#include "document/Samples24.h"

namespace sonaveld::peaks {

static_assert(std::endian::native == std::endian::little, "32-bit samples are copied as little-endian words");

// The lanes draw every kind wider than 8 bits on the 16-bit scale: a wider sample is brought down
// to it first, then the 16-bit rule y = 80 - v div 410 applies. Every map here is monotone (never
// decreasing), so the smallest and largest sample of a run map to the smallest and largest lane
// value of that run.

// 24-bit value: v div 256, truncating toward zero.
constexpr int LaneFrom24(int32_t v) { return v / 256; }
// 32-bit value: v div 65536, truncating toward zero.
constexpr int LaneFrom32(int32_t v) { return v / 65536; }
// Float sample (full scale 1.0): trunc(x × 32768) held within -32768..32767; NaN gives 0.
inline int LaneFromFloat(float x) {
  if (std::isnan(x)) return 0;
  // x × 32768 is exact in single precision (a power of two; overflow becomes ±inf and is clamped).
  return static_cast<int>(std::clamp(x * 32768.0f, -32768.0f, 32767.0f));
}

// The sample of a 16-bit or wider encoding at bytes (little-endian), on the 16-bit lane scale;
// 0 for the 8-bit encoding (drawn by its own rule) and for none.
inline int LaneValue(SampleEncoding encoding, const uint8_t* bytes) {
  switch (encoding) {
    case SampleEncoding::kPcm16: return static_cast<int16_t>(static_cast<uint16_t>(bytes[0] | bytes[1] << 8));
    case SampleEncoding::kPcm24: return LaneFrom24(Signed24(bytes));
    case SampleEncoding::kPcm32: {
      int32_t v;
      std::memcpy(&v, bytes, 4);
      return LaneFrom32(v);
    }
    case SampleEncoding::kFloat32: {
      float x;
      std::memcpy(&x, bytes, 4);
      return LaneFromFloat(x);
    }
    case SampleEncoding::kPcm8:
    case SampleEncoding::kNone: break;
  }
  return 0;
}

}  // namespace sonaveld::peaks
