#pragma once
#include <cstdint>
#include <vector>

namespace sonaveld {

// The interpolating filter of the true-peak measurement: the signal is oversampled by factor
// with a windowed sinc of (taps per phase x factor + 1) taps centred on a sample, so phase 0 is the
// samples themselves and only phases 1 .. factor-1 are computed.
struct TruePeakFilter {
  int factor = 1;         // 4 below 96 kHz, 2 at 96 kHz and above
  int tapsPerPhase = 0;   // input samples each interpolated value is made of
  // Coefficients of phase p (1 .. factor-1) for input sample i - k: at [(p - 1) * tapsPerPhase + k];
  // phase factor - p holds those of phase p in reverse order, exactly.
  std::vector<float> coefficients;
};

// The filter for a sample rate in Hz.
TruePeakFilter TruePeakFilterFor(int32_t sampleRate);

}  // namespace sonaveld
