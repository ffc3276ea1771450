#include "analysis/KWeighting.h"

#include <cmath>
#include <numbers>

namespace sonaveld {
namespace {

// The analog prototype of the standard's 48 kHz filters.
constexpr double kShelfHz = 1681.974450955533;
constexpr double kShelfGainDb = 3.999843853973347;
constexpr double kShelfQ = 0.7071752369554196;
constexpr double kShelfBandExponent = 0.4996667741545416;  // Vb = Vh ^ this
constexpr double kHighPassHz = 38.13547087602444;
constexpr double kHighPassQ = 0.5003270373238773;

Biquad Shelf(double rate) {
  const double k = std::tan(std::numbers::pi * kShelfHz / rate);
  const double vh = std::pow(10.0, kShelfGainDb / 20.0);
  const double vb = std::pow(vh, kShelfBandExponent);
  const double a0 = 1.0 + k / kShelfQ + k * k;
  Biquad s;
  s.b0 = (vh + vb * k / kShelfQ + k * k) / a0;
  s.b1 = 2.0 * (k * k - vh) / a0;
  s.b2 = (vh - vb * k / kShelfQ + k * k) / a0;
  s.a1 = 2.0 * (k * k - 1.0) / a0;
  s.a2 = (1.0 - k / kShelfQ + k * k) / a0;
  return s;
}

// The high pass with its numerator 1, -2, 1 (unnormalized, as the standard gives it).
Biquad HighPass(double rate) {
  const double k = std::tan(std::numbers::pi * kHighPassHz / rate);
  const double a0 = 1.0 + k / kHighPassQ + k * k;
  Biquad h;
  h.b0 = 1.0;
  h.b1 = -2.0;
  h.b2 = 1.0;
  h.a1 = 2.0 * (k * k - 1.0) / a0;
  h.a2 = (1.0 - k / kHighPassQ + k * k) / a0;
  return h;
}

}  // namespace

KWeighting KWeightingFor(double sampleRate) { return {Shelf(sampleRate), HighPass(sampleRate)}; }

}  // namespace sonaveld
