#include "document/FormatKind.h"

namespace sonaveld {
namespace {

// 24/32-bit files by the tag that describes their samples (the plain tag or the sub-format's).
SampleEncoding WideEncoding(uint16_t tag, int bits) {
  if (tag == kTagPcm && bits == 24) return SampleEncoding::kPcm24;
  if (tag == kTagPcm && bits == 32) return SampleEncoding::kPcm32;
  if (tag == kTagFloat && bits == 32) return SampleEncoding::kFloat32;
  return SampleEncoding::kNone;
}

}  // namespace

SampleEncoding ClassifyEncoding(const FormatFields& f) {
  if (f.bitsPerSample == 8) return SampleEncoding::kPcm8;
  if (f.bitsPerSample == 16) return SampleEncoding::kPcm16;
  if (f.formatTag == kTagExtensible) {
    if (f.formatSize < kExtensibleFormatSize) return SampleEncoding::kNone;
    return WideEncoding(f.subFormatTag, f.bitsPerSample);
  }
  return WideEncoding(f.formatTag, f.bitsPerSample);
}

FormatKind KindOf(SampleEncoding encoding, int channels) {
  if (channels != 1 && channels != 2) return FormatKind::kNone;
  const bool stereo = channels == 2;
  switch (encoding) {
    case SampleEncoding::kPcm16: return stereo ? FormatKind::kStereo16 : FormatKind::kMono16;
    case SampleEncoding::kPcm8: return stereo ? FormatKind::kStereo8 : FormatKind::kMono8;
    case SampleEncoding::kPcm24: return stereo ? FormatKind::kStereo24 : FormatKind::kMono24;
    case SampleEncoding::kPcm32: return stereo ? FormatKind::kStereo32 : FormatKind::kMono32;
    case SampleEncoding::kFloat32: return stereo ? FormatKind::kStereoFloat : FormatKind::kMonoFloat;
    case SampleEncoding::kNone: break;
  }
  return FormatKind::kNone;
}

FormatKind ClassifyFormat(int bitsPerSample, int channels) {
  if (bitsPerSample != 8 && bitsPerSample != 16) return FormatKind::kNone;
  return KindOf(bitsPerSample == 8 ? SampleEncoding::kPcm8 : SampleEncoding::kPcm16, channels);
}

SampleEncoding EncodingOf(FormatKind kind) {
  switch (kind) {
    case FormatKind::kStereo16:
    case FormatKind::kMono16: return SampleEncoding::kPcm16;
    case FormatKind::kStereo8:
    case FormatKind::kMono8: return SampleEncoding::kPcm8;
    case FormatKind::kStereo24:
    case FormatKind::kMono24: return SampleEncoding::kPcm24;
    case FormatKind::kStereo32:
    case FormatKind::kMono32: return SampleEncoding::kPcm32;
    case FormatKind::kStereoFloat:
    case FormatKind::kMonoFloat: return SampleEncoding::kFloat32;
    case FormatKind::kNone: break;
  }
  return SampleEncoding::kNone;
}

int SampleBytes(FormatKind kind) {
  switch (EncodingOf(kind)) {
    case SampleEncoding::kPcm8: return 1;
    case SampleEncoding::kPcm16: return 2;
    case SampleEncoding::kPcm24: return 3;
    case SampleEncoding::kPcm32:
    case SampleEncoding::kFloat32: return 4;
    case SampleEncoding::kNone: break;
  }
  return 0;
}

int ChannelsOf(FormatKind kind) {
  if (kind == FormatKind::kNone) return 0;
  // Odd kinds are stereo, even kinds mono.
  return static_cast<int>(kind) % 2 == 1 ? 2 : 1;
}

int FrameBytes(FormatKind kind) { return SampleBytes(kind) * ChannelsOf(kind); }

bool IsFloatKind(FormatKind kind) { return EncodingOf(kind) == SampleEncoding::kFloat32; }

}  // namespace sonaveld
