#pragma once
#include <cmath>

namespace sonaveld {

// The target of a loudness pass: the integrated loudness aimed at and the true-peak ceiling.
struct LoudnessTarget {
  double targetLufs = -23.0;   // -70..-5
  double ceilingDbtp = -1.0;   // -9..0
};

// The one plain gain a file (or an album) gets in loudness mode.
struct LoudnessGain {
  bool unchanged = false;      // no integrated loudness (nothing above the absolute gate): left alone
  double gainDb = 0.0;         // G in dB (0 when unchanged)
  bool limited = false;        // the true-peak ceiling held the gain back
  double reachedLufs = -INFINITY;  // I + G: the loudness the file reaches (the target unless limited)
};

// G = target - I; when TP + G would pass the ceiling, G = ceiling - TP and the result is limited.
// integratedLufs -inf (or NaN) gives an unchanged result. truePeakDbtp may be -inf (digital silence).
LoudnessGain PlanLoudnessGain(double integratedLufs, double truePeakDbtp, const LoudnessTarget& target);

// The linear factor 10^(G/20) of a gain in dB, in double precision.
inline double GainFactor(double gainDb) { return std::pow(10.0, gainDb / 20.0); }

}  // namespace sonaveld
