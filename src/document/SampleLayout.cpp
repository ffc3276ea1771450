#include "document/SampleLayout.h"

namespace sonaveld {
namespace {

// Full scale of an encoding: 2^(bits - 1) for the integers, 1.0 for float.
double FullScaleOf(SampleEncoding encoding) {
  switch (encoding) {
    case SampleEncoding::kPcm8: return 128.0;
    case SampleEncoding::kPcm16: return 32768.0;
    case SampleEncoding::kPcm24: return 8388608.0;
    case SampleEncoding::kPcm32: return 2147483648.0;
    case SampleEncoding::kFloat32: return 1.0;
    case SampleEncoding::kNone: break;
  }
  return 0.0;
}

}  // namespace

SampleLayout SampleLayoutOf(FormatKind kind) { return SampleLayoutOf(EncodingOf(kind), ChannelsOf(kind)); }

SampleLayout SampleLayoutOf(SampleEncoding encoding, int channels) {
  if (encoding == SampleEncoding::kNone || channels < 1 || channels > kMaxChannels) return {};
  const int sampleBytes = encoding == SampleEncoding::kPcm8    ? 1
                          : encoding == SampleEncoding::kPcm16 ? 2
                          : encoding == SampleEncoding::kPcm24 ? 3
                                                               : 4;
  return {channels, sampleBytes, encoding, FullScaleOf(encoding)};
}

FormatKind KindOfLayout(const SampleLayout& layout) { return KindOf(layout.encoding, layout.channels); }

}  // namespace sonaveld
