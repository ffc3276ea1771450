#pragma once
#include <cstdint>
#include <cstring>

#include "document/FormatKind.h"
#include "document/Samples24.h"

namespace sonaveld {

// The signed value of one integer sample at p (8-bit: byte - 128); 0 for the other encodings.
inline int64_t ReadInteger(SampleEncoding encoding, const uint8_t* p) {
  switch (encoding) {
    case SampleEncoding::kPcm8: return int64_t{p[0]} - 128;
    case SampleEncoding::kPcm16: {
      int16_t v;
      std::memcpy(&v, p, 2);
      return v;
    }
    case SampleEncoding::kPcm24: return Signed24(p);
    case SampleEncoding::kPcm32: {
      int32_t v;
      std::memcpy(&v, p, 4);
      return v;
    }
    default: return 0;
  }
}

// Stores the signed value y of an integer sample at p (8-bit: y + 128); nothing for the others.
inline void WriteInteger(SampleEncoding encoding, int64_t y, uint8_t* p) {
  switch (encoding) {
    case SampleEncoding::kPcm8: p[0] = static_cast<uint8_t>(y + 128); break;
    case SampleEncoding::kPcm16: {
      const auto v = static_cast<int16_t>(y);
      std::memcpy(p, &v, 2);
      break;
    }
    case SampleEncoding::kPcm24: {
      const auto u = static_cast<uint32_t>(y);
      p[0] = static_cast<uint8_t>(u);
      p[1] = static_cast<uint8_t>(u >> 8);
      p[2] = static_cast<uint8_t>(u >> 16);
      break;
    }
    case SampleEncoding::kPcm32: {
      const auto v = static_cast<int32_t>(y);
      std::memcpy(p, &v, 4);
      break;
    }
    default: break;
  }
}


}  // namespace sonaveld
