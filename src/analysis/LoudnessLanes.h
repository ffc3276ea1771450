#pragma once
#include <cstdint>

#include "analysis/KWeighting.h"
#include "analysis/TruePeakFilter.h"

// The meter's loops are built three times on x86-64 with GCC or Clang, for AVX-512 processors
// (x86-64-v4), for AVX2 ones (x86-64-v3) and for any other, the copy chosen at load time; helpers
// marked inline go into each copy.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(SONAVELD_NO_SIMD)
#define SONAVELD_LANE_CLONES __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define SONAVELD_LANE_CLONES
#endif
// The meter's loops use the compiler's vector extension where it has one (1), plain scalars in
// the portable build (0).
#if (defined(__GNUC__) || defined(__clang__)) && !defined(SONAVELD_NO_SIMD)
#define SONAVELD_LANE_VECTORS 1
#else
#define SONAVELD_LANE_VECTORS 0
#endif
#if defined(__GNUC__) || defined(__clang__)
#define SONAVELD_INLINE [[gnu::always_inline]] inline
#else
#define SONAVELD_INLINE inline
#endif

namespace sonaveld {

// The inner loops of the loudness meter. The meter runs several independent signals in lockstep
// (channels, and stretches of the file each started early enough for the filter to settle): one
// lane each, kLoudnessLanes of them, stored row by row (row i holds sample i of every lane), so
// every step of a recursive filter works on all lanes at once.
constexpr int kLoudnessLanes = 8;

// The K-weighting filter's memory of every lane (transposed direct form II).
struct LaneFilterState {
  double shelf1[kLoudnessLanes] = {}, shelf2[kLoudnessLanes] = {};
  double pass1[kLoudnessLanes] = {}, pass2[kLoudnessLanes] = {};
};

// K-weights rows [0, rows) of x (rows x kLoudnessLanes doubles) in place of state, adding the
// square of every filtered sample to its lane's sum.
void KWeightRows(const KWeighting& filter, LaneFilterState& state, const double* x, int64_t rows,
                 double sums[kLoudnessLanes]);
// The same from rows of floats (widened to double as they are read), for samples that single
// precision holds exactly: the filter sees the same values, one row store fewer per sample.
void KWeightRows(const KWeighting& filter, LaneFilterState& state, const float* x, int64_t rows,
                 double sums[kLoudnessLanes]);

// Raises peaks to the largest |value| interpolated between the samples of rows [0, rows) of x
// (rows x kLoudnessLanes floats) by filter; the tapsPerPhase - 1 rows before x must hold the
// samples before them. Lane l takes only rows below limit[l].
void TruePeakRows(const TruePeakFilter& filter, const float* x, int64_t rows, const int64_t limit[kLoudnessLanes],
                  float peaks[kLoudnessLanes]);

}  // namespace sonaveld
