#include "normalizer/LoudnessGain.h"

namespace sonaveld {

LoudnessGain PlanLoudnessGain(double integratedLufs, double truePeakDbtp, const LoudnessTarget& target) {
  LoudnessGain gain;
  if (!std::isfinite(integratedLufs)) {
    gain.unchanged = true;
    return gain;
  }
  gain.gainDb = target.targetLufs - integratedLufs;
  if (truePeakDbtp + gain.gainDb > target.ceilingDbtp) {
    gain.gainDb = target.ceilingDbtp - truePeakDbtp;
    gain.limited = true;
  }
  gain.reachedLufs = integratedLufs + gain.gainDb;
  return gain;
}

}  // namespace sonaveld
