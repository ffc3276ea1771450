#pragma once
#include <compare>
#include <cstdint>

namespace sonaveld {

// An extended-precision binary floating-point number computed in software: a sign, a 64-bit
// mantissa and an exponent, every result rounded to nearest, ties to even, as the x87 80-bit
// type rounds. The gain arithmetic and the time conversions use it where long double is not that
// type (ARM, MSVC), so that gain tables and frame numbers come out the same on every platform. It has exactly the
// operations the gain needs. The exponent is not limited to the 15 bits of the x87 type: the
// gain's values lie far from its overflow and underflow, where the two agree.
class SoftExtended {
 public:
  // Zero.
  SoftExtended() = default;
  // The exact value of an integer or of a finite double (a float converts to double exactly).
  explicit SoftExtended(int v) : SoftExtended(static_cast<int64_t>(v)) {}
  explicit SoftExtended(int64_t v);
  explicit SoftExtended(double v);

  // Sum, product and quotient, rounded to the 64-bit mantissa. The divisor must not be zero.
  friend SoftExtended operator+(const SoftExtended& a, const SoftExtended& b);
  friend SoftExtended operator*(const SoftExtended& a, const SoftExtended& b);
  friend SoftExtended operator/(const SoftExtended& a, const SoftExtended& b);

  // Numeric comparison (+0 and -0 are equal).
  friend std::strong_ordering operator<=>(const SoftExtended& a, const SoftExtended& b);
  friend bool operator==(const SoftExtended& a, const SoftExtended& b) { return (a <=> b) == 0; }

  // The nearest float or double, ties to even (subnormal results included; beyond the largest
  // finite value, infinity).
  explicit operator float() const;
  explicit operator double() const;

  // The value is (-1)^negative x mantissa x 2^exponent; the mantissa's top bit is set unless
  // the value is zero.
  bool negative() const { return negative_; }
  uint64_t mantissa() const { return mantissa_; }
  int64_t exponent() const { return exponent_; }

 private:
  // Rounds the 128-bit magnitude hi:lo x 2^exponent to the 64-bit mantissa; sticky tells that
  // nonzero bits lie below lo.
  static SoftExtended Round(bool negative, int64_t exponent, uint64_t hi, uint64_t lo, bool sticky);
  // The magnitude rounded to the given number of mantissa digits, no unit in the last place
  // below 2^minUlp, as a double (exact for float and double precision).
  double RoundedTo(int digits, int minUlp) const;

  bool negative_ = false;
  int64_t exponent_ = 0;
  uint64_t mantissa_ = 0;
};

// The largest whole number not greater than x, held at the int64_t range where it lies beyond.
int64_t FloorToInt(const SoftExtended& x);
// x without its fraction (rounded toward zero), held at the int64_t range where it lies beyond.
int64_t TruncateToInt(const SoftExtended& x);

}  // namespace sonaveld
