// Built with -O3 and FMA contraction. The lanes of a row are worked on as whole vectors (of the
// compiler's vector extension; plain scalars in the portable build, the same code); on x86-64 a
// copy for AVX2 processors is chosen at load time.
#include "analysis/LoudnessLanes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sonaveld {
namespace {

constexpr int L = kLoudnessLanes;
constexpr int kTaps = 12;  // TruePeakFilter's taps per phase

#if SONAVELD_LANE_VECTORS
// A whole row of doubles, two rows of floats: one register each with AVX-512, split by the
// compiler into two or four elsewhere (the same operations on every lane).
typedef double Doubles __attribute__((vector_size(64)));  // 8 lanes
typedef float Floats __attribute__((vector_size(64)));    // 16 lanes
#else
using Doubles = double;
using Floats = float;
#endif
constexpr int kDoubleWidth = sizeof(Doubles) / sizeof(double);
constexpr int kFloatWidth = sizeof(Floats) / sizeof(float);
constexpr int kDoubleVectors = L / kDoubleWidth;
// A float vector wider than a row holds the same lanes of consecutive rows.
constexpr int kRowsPerStep = kFloatWidth > L ? kFloatWidth / L : 1;
constexpr int kFloatVectors = kFloatWidth > L ? 1 : L / kFloatWidth;
constexpr int kStepFloats = kFloatVectors * kFloatWidth;  // kRowsPerStep rows

// Vectors are only passed by reference: the portable copy of the loops must not pass them in
// registers it does not have.
template <class V, class T>
SONAVELD_INLINE void Load(V& v, const T* at) {
  std::memcpy(&v, at, sizeof v);
}
template <class V, class T>
SONAVELD_INLINE void Store(T* at, const V& v) {
  std::memcpy(at, &v, sizeof v);
}
template <class V>
SONAVELD_INLINE void KeepMax(V& top, const V& a) {
  top = a > top ? a : top;
}
template <class V>
SONAVELD_INLINE void KeepMin(V& bottom, const V& a) {
  bottom = a < bottom ? a : bottom;
}

// The true peak of rows [0, rows) for every lane, no lane limit (rows a multiple of
// kRowsPerStep): the largest and smallest interpolated values of each lane. The filter is
// symmetric (TruePeakFilter), so taps k and kTaps - 1 - k are taken together: the middle phase
// weighs their sum, the two outer phases are a weighted sum plus or minus a weighted difference,
// 24 multiply-adds a row instead of 36.
template <int Phases>
SONAVELD_INLINE void PeakRowsAll(const float* coefficients, const float* x, int64_t rows, float peaks[L]) {
  static_assert(Phases == 1 || Phases == 3);
  constexpr int kHalf = kTaps / 2;
  const float* middle = coefficients + (Phases / 2) * kTaps;
  float mean[kHalf], half[kHalf];  // of the first phase's taps k and kTaps - 1 - k
  for (int k = 0; k < kHalf; ++k) {
    mean[k] = (coefficients[k] + coefficients[kTaps - 1 - k]) * 0.5f;
    half[k] = (coefficients[k] - coefficients[kTaps - 1 - k]) * 0.5f;
  }
  Floats top[kFloatVectors], bottom[kFloatVectors];
  for (int v = 0; v < kFloatVectors; ++v) top[v] = bottom[v] = Floats{} * 0.0f;
  for (int64_t i = 0; i < rows; i += kRowsPerStep) {
    for (int v = 0; v < kFloatVectors; ++v) {
      Floats centre = Floats{} * 0.0f, even = centre, odd = centre;
      for (int k = 0; k < kHalf; ++k) {
        Floats near, far;
        Load(near, x + (i - k) * L + v * kFloatWidth);
        Load(far, x + (i - (kTaps - 1 - k)) * L + v * kFloatWidth);
        const Floats sum = near + far;
        centre += middle[k] * sum;
        if constexpr (Phases == 3) {
          even += mean[k] * sum;
          odd += half[k] * (near - far);
        }
      }
      KeepMax(top[v], centre);
      KeepMin(bottom[v], centre);
      if constexpr (Phases == 3) {
        const Floats first = even + odd, last = even - odd;
        KeepMax(top[v], first);
        KeepMin(bottom[v], first);
        KeepMax(top[v], last);
        KeepMin(bottom[v], last);
      }
    }
  }
  float high[kStepFloats], low[kStepFloats];
  for (int v = 0; v < kFloatVectors; ++v) {
    Store(high + v * kFloatWidth, top[v]);
    Store(low + v * kFloatWidth, bottom[v]);
  }
  for (int j = 0; j < kStepFloats; ++j) peaks[j % L] = std::max({peaks[j % L], high[j], -low[j]});
}

// One interpolated value of lane l at row i.
float Interpolated(const float* c, const float* x, int64_t i, int l) {
  float acc = 0.0f;
  for (int k = 0; k < kTaps; ++k) acc += c[k] * x[(i - k) * L + l];
  return acc;
}

// Lanes of a row into a vector of doubles: as they are, or widened from floats.
SONAVELD_INLINE void LoadRow(Doubles& v, const double* at) { Load(v, at); }
SONAVELD_INLINE void LoadRow(Doubles& v, const float* at) {
#if SONAVELD_LANE_VECTORS
  typedef float Narrow __attribute__((vector_size(sizeof(Doubles) / 2)));
  Narrow n;
  Load(n, at);
  v = __builtin_convertvector(n, Doubles);
#else
  v = *at;
#endif
}

// The K-weighting of rows of T (double, or float widened as it is read).
template <class T>
SONAVELD_INLINE void KWeightBody(const KWeighting& filter, LaneFilterState& state, const T* x, int64_t rows,
                                 double sums[L]) {
  const Biquad s = filter.shelf;
  const Biquad h = filter.highPass;
  Doubles s1[kDoubleVectors], s2[kDoubleVectors], p1[kDoubleVectors], p2[kDoubleVectors], sum[kDoubleVectors];
  for (int v = 0; v < kDoubleVectors; ++v) {
    Load(s1[v], state.shelf1 + v * kDoubleWidth);
    Load(s2[v], state.shelf2 + v * kDoubleWidth);
    Load(p1[v], state.pass1 + v * kDoubleWidth);
    Load(p2[v], state.pass2 + v * kDoubleWidth);
    sum[v] = Doubles{} * 0.0;
  }
  for (int64_t i = 0; i < rows; ++i) {
    for (int v = 0; v < kDoubleVectors; ++v) {
      Doubles in;
      LoadRow(in, x + i * L + v * kDoubleWidth);
      // Terms that do not wait for this row's output come first, so each update is two
      // multiply-adds with only the last on the filter's chain.
      const Doubles mid = s.b0 * in + s1[v];
      s1[v] = s.b1 * in + s2[v] - s.a1 * mid;
      s2[v] = s.b2 * in - s.a2 * mid;
      const Doubles out = h.b0 * mid + p1[v];
      p1[v] = h.b1 * mid + p2[v] - h.a1 * out;
      p2[v] = h.b2 * mid - h.a2 * out;
      sum[v] += out * out;
    }
  }
  double total[L];
  for (int v = 0; v < kDoubleVectors; ++v) {
    Store(state.shelf1 + v * kDoubleWidth, s1[v]);
    Store(state.shelf2 + v * kDoubleWidth, s2[v]);
    Store(state.pass1 + v * kDoubleWidth, p1[v]);
    Store(state.pass2 + v * kDoubleWidth, p2[v]);
    Store(total + v * kDoubleWidth, sum[v]);
  }
  for (int l = 0; l < L; ++l) sums[l] += total[l];
}

}  // namespace

SONAVELD_LANE_CLONES
void KWeightRows(const KWeighting& filter, LaneFilterState& state, const double* x, int64_t rows,
                 double sums[L]) {
  KWeightBody(filter, state, x, rows, sums);
}

SONAVELD_LANE_CLONES
void KWeightRows(const KWeighting& filter, LaneFilterState& state, const float* x, int64_t rows,
                 double sums[L]) {
  KWeightBody(filter, state, x, rows, sums);
}

SONAVELD_LANE_CLONES
void TruePeakRows(const TruePeakFilter& filter, const float* x, int64_t rows, const int64_t limit[L],
                  float peaks[L]) {
  const float* c = filter.coefficients.data();
  const int phases = filter.factor - 1;
  int64_t common = rows;
  for (int l = 0; l < L; ++l) common = std::clamp<int64_t>(limit[l], 0, common);
  common -= common % kRowsPerStep;
  if (phases == 3) {
    PeakRowsAll<3>(c, x, common, peaks);
  } else if (phases == 1) {
    PeakRowsAll<1>(c, x, common, peaks);
  }
  // The last rows, where some lanes have ended (or too few for a whole step are left).
  for (int64_t i = common; i < rows; ++i) {
    for (int l = 0; l < L; ++l) {
      if (i >= limit[l]) continue;
      for (int p = 0; p < phases; ++p) peaks[l] = std::max(peaks[l], std::fabs(Interpolated(c + p * kTaps, x, i, l)));
    }
  }
}

}  // namespace sonaveld
