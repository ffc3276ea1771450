#pragma once
#include <cstdint>
#include <vector>

#include "analysis/LoudnessMeter.h"

namespace sonaveld {

// Fills the loudness figures of figures (I, LRA, maximum momentary and short-term loudness, the
// gating blocks) from hops: for every whole 100 ms of the file, in order, the sum over its
// hopFrames frames of the channel-weighted squares of the K-weighted samples. A block of n hops
// is their sum over n x hopFrames: 400 ms blocks at every hop (momentary, the gating blocks),
// 3 s blocks at every hop (short-term maximum) and at every tenth hop (LRA).
void GateLoudness(const std::vector<double>& hops, int64_t hopFrames, LoudnessFigures& figures);

}  // namespace sonaveld
