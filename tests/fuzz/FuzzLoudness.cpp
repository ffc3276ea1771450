// The loudness meter on arbitrary files the probe accepts: no crash, no read outside the file, no
// hang on a wild rate, and figures that hold together: the sample peak is the largest |sample|
// (non-finite floats as 0), the true peak at least that, the integrated loudness at most the
// loudest block, the range not negative, and the same figures on one thread as on three.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <algorithm>

#include "FuzzSupport.h"
#include "analysis/LoudnessMeter.h"
#include "document/SampleLayout.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"

using namespace sonaveld;

namespace {

// The largest |sample| as a fraction of full scale, read one sample at a time.
double PlainPeak(const uint8_t* data, const WaveHeader& h) {
  const SampleLayout layout = h.Samples();
  double peak = 0;
  const int64_t samples = h.Frames() * layout.channels;
  for (int64_t i = 0; i < samples; ++i) {
    const uint8_t* b = data + h.DataOffset + i * layout.sampleBytes;
    double v = 0;
    switch (layout.encoding) {
      case SampleEncoding::kPcm8: v = b[0] - 128; break;
      case SampleEncoding::kPcm16: v = static_cast<int16_t>(b[0] | b[1] << 8); break;
      case SampleEncoding::kPcm24: v = static_cast<int32_t>(uint32_t{b[0]} << 8 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 24) / 256; break;
      case SampleEncoding::kPcm32: v = static_cast<int32_t>(b[0] | b[1] << 8 | b[2] << 16 | uint32_t{b[3]} << 24); break;
      case SampleEncoding::kFloat32: {
        const uint32_t bits = b[0] | b[1] << 8 | b[2] << 16 | uint32_t{b[3]} << 24;
        float f;
        std::memcpy(&f, &bits, 4);
        v = std::isfinite(f) ? f : 0.0;
        break;
      }
      case SampleEncoding::kNone: break;
    }
    peak = std::max(peak, std::fabs(v) / layout.fullScale);
  }
  return peak;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemorySource source(data, size);
  const ProbeResult probe = ProbeWave(source);
  if (!probe.status.ok()) return 0;
  LoudnessOptions one;
  one.threads = 1;
  const Result<LoudnessFigures> r = MeasureLoudness(source, probe.header, one);
  // Below the lowest rate a refusal with a message; files of 1 to 8 channels are measured.
  if (probe.header.SampleRate < kLoudnessMinRate) {
    FUZZ_CHECK(r.status.failed() && !r.status.message().empty(), "a low rate measured");
    return 0;
  }
  FUZZ_CHECK(r.ok(), "a probed file not measured");
  const LoudnessFigures& f = r.value;
  const double peak = PlainPeak(data, probe.header);
  FUZZ_CHECK(f.samplePeakDbfs == (peak > 0 ? 20 * std::log10(peak) : -INFINITY), "sample peak");
  FUZZ_CHECK(f.truePeakDbtp >= f.samplePeakDbfs, "true peak below the sample peak");
  FUZZ_CHECK(!(f.integratedLufs > f.momentaryMaxLufs), "integrated above the loudest block");
  FUZZ_CHECK(f.lraLu >= 0, "negative range");
  LoudnessOptions three;
  three.threads = 3;
  const Result<LoudnessFigures> again = MeasureLoudness(source, probe.header, three);
  FUZZ_CHECK(again.ok() && again.value.samplePeakDbfs == f.samplePeakDbfs &&
                 again.value.truePeakDbtp == f.truePeakDbtp && again.value.nonFiniteSamples == f.nonFiniteSamples &&
                 again.value.gatingBlocks.size() == f.gatingBlocks.size(),
             "threads change the figures");
  return 0;
}
