#include "base/SoftExtended.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace sonaveld {
namespace {

constexpr uint64_t kTopBit = uint64_t{1} << 63;

// The full 128-bit product of two 64-bit numbers, from 32-bit halves (no compiler extension).
void Multiply128(uint64_t a, uint64_t b, uint64_t& hi, uint64_t& lo) {
  const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  lo = middle << 32 | (p00 & 0xFFFFFFFFu);
  hi = p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32);
}

// value >> shift rounded to nearest, ties to even (shift > 0).
uint64_t ShiftRounded(uint64_t value, int64_t shift) {
  if (shift > 64) return 0;
  const uint64_t kept = shift == 64 ? 0 : value >> shift;
  const uint64_t rest = shift == 64 ? value : value & ((uint64_t{1} << shift) - 1);
  const uint64_t half = uint64_t{1} << (shift - 1);
  return rest > half || (rest == half && (kept & 1)) ? kept + 1 : kept;
}

}  // namespace

SoftExtended::SoftExtended(int64_t v) {
  if (v == 0) return;
  const uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  *this = Round(v < 0, 0, 0, magnitude, false);
}

SoftExtended::SoftExtended(double v) : negative_(std::signbit(v)) {
  if (v == 0) return;
  int e = 0;
  const double m = std::frexp(std::fabs(v), &e);  // in [0.5, 1): 53 bits at most, so exact
  mantissa_ = static_cast<uint64_t>(std::ldexp(m, 64));
  exponent_ = e - 64;
}

SoftExtended SoftExtended::Round(bool negative, int64_t exponent, uint64_t hi, uint64_t lo, bool sticky) {
  SoftExtended r;
  r.negative_ = negative;
  if (hi == 0 && lo == 0) return r;
  // Move the top set bit to bit 63 of hi.
  const int shift = hi != 0 ? std::countl_zero(hi) : 64 + std::countl_zero(lo);
  if (shift >= 64) {
    hi = lo << (shift - 64);
    lo = 0;
  } else if (shift > 0) {
    hi = hi << shift | lo >> (64 - shift);
    lo <<= shift;
  }
  r.mantissa_ = hi;
  r.exponent_ = exponent - shift + 64;
  const bool above = lo > kTopBit || (lo == kTopBit && sticky);
  const bool tie = lo == kTopBit && !sticky;
  if (above || (tie && (hi & 1))) {
    if (++r.mantissa_ == 0) {  // rounded up to the next power of two
      r.mantissa_ = kTopBit;
      ++r.exponent_;
    }
  }
  return r;
}

SoftExtended operator+(const SoftExtended& a, const SoftExtended& b) {
  if (b.mantissa_ == 0) return a.mantissa_ != 0 || a.negative_ == b.negative_ ? a : SoftExtended();
  if (a.mantissa_ == 0) return b;
  // x the larger magnitude; both as 128-bit numbers hi:lo of x's unit 2^(x.exponent - 64), y's
  // bits beyond lo kept only as sticky.
  const bool aLarger = a.exponent_ != b.exponent_ ? a.exponent_ > b.exponent_ : a.mantissa_ >= b.mantissa_;
  const SoftExtended& x = aLarger ? a : b;
  const SoftExtended& y = aLarger ? b : a;
  const int64_t shift = x.exponent_ - y.exponent_;
  uint64_t yHi = 0, yLo = 0;
  bool sticky = false;
  if (shift == 0) {
    yHi = y.mantissa_;
  } else if (shift < 64) {
    yHi = y.mantissa_ >> shift;
    yLo = y.mantissa_ << (64 - shift);
  } else if (shift < 128) {
    yLo = shift == 64 ? y.mantissa_ : y.mantissa_ >> (shift - 64);
    sticky = shift > 64 && (y.mantissa_ & ((uint64_t{1} << (shift - 64)) - 1)) != 0;
  } else {
    sticky = true;
  }
  int64_t exponent = x.exponent_ - 64;
  uint64_t hi = x.mantissa_, lo = 0;
  if (x.negative_ == y.negative_) {
    lo = yLo;
    hi += yHi;
    if (hi < yHi) {  // a 129th bit: keep the top 128, the lowest joins the sticky bits
      sticky = sticky || (lo & 1) != 0;
      lo = lo >> 1 | hi << 63;
      hi = hi >> 1 | kTopBit;
      ++exponent;
    }
  } else {
    // x - y; where y lost bits, the true difference lies between this one less and this (the
    // result is then at least 2^126, far above the rounding position).
    const uint64_t borrow = yLo > lo ? 1 : 0;
    lo -= yLo;
    hi = hi - yHi - borrow;
    if (sticky) {
      if (lo == 0) --hi;
      --lo;
    }
    if (hi == 0 && lo == 0 && !sticky) return SoftExtended();  // x - x is +0
  }
  return SoftExtended::Round(x.negative_, exponent, hi, lo, sticky);
}

SoftExtended operator*(const SoftExtended& a, const SoftExtended& b) {
  const bool negative = a.negative_ != b.negative_;
  uint64_t hi = 0, lo = 0;
  Multiply128(a.mantissa_, b.mantissa_, hi, lo);
  return SoftExtended::Round(negative, a.exponent_ + b.exponent_, hi, lo, false);
}

SoftExtended operator/(const SoftExtended& a, const SoftExtended& b) {
  // 66 quotient bits of the mantissas by long division, the first of weight 1 (the quotient lies
  // in (1/2, 2)): 64 for the result, one to round on, one more, and the remainder as sticky.
  const uint64_t d = b.mantissa_;
  uint64_t rem = a.mantissa_, hi = 0, lo = 0;
  for (int i = 0; i < 66; ++i) {
    bool carry = false;
    if (i > 0) {
      carry = (rem & kTopBit) != 0;
      rem <<= 1;
    }
    const bool bit = carry || rem >= d;
    if (bit) rem -= d;  // wraps to the true remainder when carry is set
    hi = hi << 1 | lo >> 63;
    lo = lo << 1 | (bit ? 1 : 0);
  }
  const bool negative = a.negative_ != b.negative_;
  return SoftExtended::Round(negative, a.exponent_ - b.exponent_ - 65, hi, lo, rem != 0);
}

std::strong_ordering operator<=>(const SoftExtended& a, const SoftExtended& b) {
  const int signA = a.mantissa_ == 0 ? 0 : (a.negative_ ? -1 : 1);
  const int signB = b.mantissa_ == 0 ? 0 : (b.negative_ ? -1 : 1);
  if (signA != signB || signA == 0) return signA <=> signB;
  const std::strong_ordering magnitude =
      a.exponent_ != b.exponent_ ? a.exponent_ <=> b.exponent_ : a.mantissa_ <=> b.mantissa_;
  return signA > 0 ? magnitude : 0 <=> magnitude;
}

double SoftExtended::RoundedTo(int digits, int minUlp) const {
  if (mantissa_ == 0) return 0.0;
  const int64_t lead = exponent_ + 63;  // the power of two of the top bit
  const int64_t ulp = std::max<int64_t>(lead - (digits - 1), minUlp);
  const uint64_t kept = ShiftRounded(mantissa_, ulp - exponent_);
  return std::ldexp(static_cast<double>(kept), static_cast<int>(std::min<int64_t>(ulp, 100000)));
}

SoftExtended::operator float() const {
  const double d = RoundedTo(std::numeric_limits<float>::digits, -149);
  const float f = d > std::numeric_limits<float>::max() ? std::numeric_limits<float>::infinity()
                                                        : static_cast<float>(d);
  return negative_ ? -f : f;
}

SoftExtended::operator double() const {
  const double d = RoundedTo(std::numeric_limits<double>::digits, -1074);
  return negative_ ? -d : d;
}

int64_t FloorToInt(const SoftExtended& x) {
  const uint64_t m = x.mantissa();
  const int64_t e = x.exponent();
  if (m == 0) return 0;
  if (e >= 0) {  // magnitude at least 2^63: only -2^63 itself fits
    if (x.negative()) return std::numeric_limits<int64_t>::min();
    return std::numeric_limits<int64_t>::max();
  }
  const uint64_t whole = e <= -64 ? 0 : m >> -e;
  const bool fraction = e <= -64 || (m & ((uint64_t{1} << -e) - 1)) != 0;
  if (!x.negative()) return static_cast<int64_t>(whole);
  return static_cast<int64_t>(0 - (whole + (fraction ? 1 : 0)));  // 2^63 wraps to the int64_t minimum
}

int64_t TruncateToInt(const SoftExtended& x) {
  const int64_t floor = FloorToInt(x);
  // A negative value with a fraction lies one above its floor.
  const bool fraction = SoftExtended(floor) != x;
  return x.negative() && fraction && floor != std::numeric_limits<int64_t>::min() ? floor + 1 : floor;
}

}  // namespace sonaveld
