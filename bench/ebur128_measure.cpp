// The reference of bench/loudness_bench.sh: libebur128 measuring integrated loudness, loudness
// range and true peak of a WAV file (read through the engine's probe), as a tool would use it.
#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "document/SampleLayout.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"

int main(int argc, char** argv) {
  using namespace sonaveld;
  if (argc != 2) {
    std::fprintf(stderr, "usage: ebur128_measure WAV (16-bit)\n");
    return 2;
  }
  auto source = FileSource::Open(argv[1]);
  if (!source) return 1;
  const ProbeResult probe = ProbeWave(*source, argv[1]);
  const SampleLayout layout = SampleLayoutOf(probe.header.Kind);
  if (!probe.status.ok() || layout.encoding != SampleEncoding::kPcm16) return 1;
  ebur128_state* st = ebur128_init(layout.channels, probe.header.SampleRate,
                                   EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
  std::vector<short> buffer(1 << 19);
  const int64_t frameBytes = layout.FrameBytes();
  for (int64_t at = probe.header.DataOffset; at + frameBytes <= probe.header.DataEnd;) {
    const int64_t want = std::min<int64_t>(static_cast<int64_t>(buffer.size()) * 2, probe.header.DataEnd - at);
    const int64_t got = source->ReadAt(at, buffer.data(), want / frameBytes * frameBytes);
    if (got <= 0) break;
    ebur128_add_frames_short(st, buffer.data(), static_cast<size_t>(got / frameBytes));
    at += got;
  }
  double integrated, range, peak = 0;
  ebur128_loudness_global(st, &integrated);
  ebur128_loudness_range(st, &range);
  for (int c = 0; c < layout.channels; ++c) {
    double p;
    ebur128_true_peak(st, c, &p);
    peak = std::max(peak, p);
  }
  std::printf("I %.2f LUFS  LRA %.2f LU  TP %.2f dBTP\n", integrated, range, 20 * std::log10(peak));
  ebur128_destroy(&st);
  return 0;
}
