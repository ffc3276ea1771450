#include "analysis/TruePeakFilter.h"

#include <cmath>
#include <numbers>

namespace sonaveld {
namespace {

constexpr int kTapsPerPhase = 12;  // 49 taps at 4x, as BS.1770 suggests (48 plus the centre)
constexpr int32_t kHighRate = 96000;

// Blackman-Harris-shaped window over the whole filter, 1 at its centre.
double Window(double offset, double halfWidth) {
  const double x = std::numbers::pi * (offset / halfWidth + 1.0);  // 0 .. 2 pi over the filter
  return 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
}

double Sinc(double x) { return x == 0.0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x); }

}  // namespace

TruePeakFilter TruePeakFilterFor(int32_t sampleRate) {
  TruePeakFilter filter;
  filter.factor = sampleRate < kHighRate ? 4 : 2;
  filter.tapsPerPhase = kTapsPerPhase;
  const int factor = filter.factor;
  // The value of phase p computed at input sample i lies p / factor of a sample before sample
  // i - (taps/2 - 1); each input sample weighs in by the windowed sinc of its distance from it.
  const double halfWidth = kTapsPerPhase / 2.0 + 0.5;  // in input samples, to the window's ends
  filter.coefficients.resize(static_cast<size_t>((factor - 1) * kTapsPerPhase));
  // The filter is symmetric about its centre: phase factor - p is phase p reversed, and the
  // middle phase its own reverse. Each coefficient is computed once and mirrored, so the
  // symmetry holds exactly in single precision (the meter's loops rely on it).
  auto at = [&](int p, int k) -> float& {
    return filter.coefficients[static_cast<size_t>((p - 1) * kTapsPerPhase + k)];
  };
  for (int p = 1; 2 * p <= factor; ++p) {
    for (int k = 0; k < kTapsPerPhase; ++k) {
      // Distance of input sample i - k from the interpolated point, in input samples.
      const double distance = (kTapsPerPhase / 2 - 1) - k + static_cast<double>(p) / factor;
      at(p, k) = static_cast<float>(Sinc(distance) * Window(distance, halfWidth));
    }
    for (int k = 0; k < kTapsPerPhase; ++k) at(factor - p, kTapsPerPhase - 1 - k) = at(p, k);
  }
  return filter;
}

}  // namespace sonaveld
