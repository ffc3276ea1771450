#pragma once

namespace sonaveld {

// One second-order section, y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] - a1 y[n-1] - a2 y[n-2].
struct Biquad {
  double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
};

// The K-weighting of BS.1770: a high shelf (about +4 dB above 2 kHz, the head) followed by a
// high pass (the RLB curve, about 38 Hz).
struct KWeighting {
  Biquad shelf;
  Biquad highPass;
};

// The K-weighting for a sample rate in Hz (above 0): the analog prototype of the 48 kHz filter
// of the standard (its centre frequencies, gain and Q) brought to this rate by the bilinear
// transform, so at 48 kHz it gives the standard's coefficients.
KWeighting KWeightingFor(double sampleRate);

}  // namespace sonaveld
