// Built with -O3 (and FMA contraction): the loops over the lanes of a row turn into packed
// instructions; on x86-64 a copy for AVX2 processors is chosen at load time.
#include "analysis/LoudnessLanes.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(SONAVELD_NO_SIMD)
#define SONAVELD_LANE_CLONES __attribute__((target_clones("arch=haswell", "default")))
#else
#define SONAVELD_LANE_CLONES
#endif

namespace sonaveld {
namespace {

constexpr int L = kLoudnessLanes;
constexpr int kTaps = 12;  // TruePeakFilter's taps per phase

// The true peak of rows [from, to) for every lane, no lane limit.
template <int Phases>
void PeakRowsAll(const float* coefficients, const float* x, int64_t from, int64_t to, float peaks[L]) {
  float top[L];
  for (int l = 0; l < L; ++l) top[l] = peaks[l];
  for (int64_t i = from; i < to; ++i) {
    const float* row = x + i * L;
    for (int p = 0; p < Phases; ++p) {
      const float* c = coefficients + p * kTaps;
      float acc[L] = {};
      for (int k = 0; k < kTaps; ++k) {
        for (int l = 0; l < L; ++l) acc[l] += c[k] * row[l - k * L];
      }
      for (int l = 0; l < L; ++l) top[l] = std::max(top[l], std::fabs(acc[l]));
    }
  }
  for (int l = 0; l < L; ++l) peaks[l] = top[l];
}

// One interpolated value of lane l at row i.
float Interpolated(const float* c, const float* x, int64_t i, int l) {
  float acc = 0.0f;
  for (int k = 0; k < kTaps; ++k) acc += c[k] * x[(i - k) * L + l];
  return acc;
}

}  // namespace

SONAVELD_LANE_CLONES
void KWeightRows(const KWeighting& filter, LaneFilterState& state, const double* x, int64_t rows,
                 double sums[L]) {
  const Biquad s = filter.shelf;
  const Biquad h = filter.highPass;
  double s1[L], s2[L], p1[L], p2[L], sum[L];
  for (int l = 0; l < L; ++l) {
    s1[l] = state.shelf1[l];
    s2[l] = state.shelf2[l];
    p1[l] = state.pass1[l];
    p2[l] = state.pass2[l];
    sum[l] = 0.0;
  }
  for (int64_t i = 0; i < rows; ++i) {
    const double* row = x + i * L;
    for (int l = 0; l < L; ++l) {
      const double in = row[l];
      const double mid = s.b0 * in + s1[l];
      s1[l] = s.b1 * in - s.a1 * mid + s2[l];
      s2[l] = s.b2 * in - s.a2 * mid;
      const double out = h.b0 * mid + p1[l];
      p1[l] = h.b1 * mid - h.a1 * out + p2[l];
      p2[l] = h.b2 * mid - h.a2 * out;
      sum[l] += out * out;
    }
  }
  for (int l = 0; l < L; ++l) {
    state.shelf1[l] = s1[l];
    state.shelf2[l] = s2[l];
    state.pass1[l] = p1[l];
    state.pass2[l] = p2[l];
    sums[l] += sum[l];
  }
}

SONAVELD_LANE_CLONES
void TruePeakRows(const TruePeakFilter& filter, const float* x, int64_t rows, const int64_t limit[L],
                  float peaks[L]) {
  const float* c = filter.coefficients.data();
  const int phases = filter.factor - 1;
  int64_t common = rows;
  for (int l = 0; l < L; ++l) common = std::clamp<int64_t>(limit[l], 0, common);
  if (phases == 3) {
    PeakRowsAll<3>(c, x, 0, common, peaks);
  } else if (phases == 1) {
    PeakRowsAll<1>(c, x, 0, common, peaks);
  }
  // The last rows, where some lanes have ended.
  for (int64_t i = common; i < rows; ++i) {
    for (int l = 0; l < L; ++l) {
      if (i >= limit[l]) continue;
      for (int p = 0; p < phases; ++p) peaks[l] = std::max(peaks[l], std::fabs(Interpolated(c + p * kTaps, x, i, l)));
    }
  }
}

}  // namespace sonaveld
