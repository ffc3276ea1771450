#pragma once
#include <cstdint>

#include "document/FormatKind.h"
#include "normalizer/SampleKernels.h"

namespace sonaveld {

struct WideChannel;

// The AVX2 loops of the 24-bit, 32-bit and float kinds (x86-64 with GCC or Clang, on a processor
// that has AVX2; elsewhere they do nothing). Each works through the first samples of a block in
// steps of several samples and leaves the rest, an even number of samples in, to the portable
// loops of WideKernels.cpp.

// The statistics of the first samples of a block of a 24/32-bit kind; the counts tell how many
// samples were taken (none where the loop does not run).
BlockStats MeasureIntegersAvx2(FormatKind kind, const uint8_t* data, int64_t samples);

// Maps the first samples of a block of a wide kind by the rules of MapWide; returns how many.
int64_t MapWideAvx2(FormatKind kind, const WideChannel channels[2], const uint8_t* in, int64_t samples,
                    uint8_t* out);

}  // namespace sonaveld
