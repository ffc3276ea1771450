#include "playback/PcmTiming.h"

#include <algorithm>
#include <limits>

#include "base/Extended.h"
#include "document/Document.h"
#include "document/FormatKind.h"

namespace sonaveld {

PcmLayout PcmLayout::FromHeader(const WaveHeader& header) {
  PcmLayout layout;
  const SampleLayout samples = header.Samples();
  layout.frameBytes = samples.FrameBytes();
  layout.channels = samples.channels;
  layout.sampleBytes = samples.sampleBytes;
  const int sinkSample = samples.encoding == SampleEncoding::kPcm24 ? 4 : samples.sampleBytes;
  layout.sinkFrameBytes = std::min(samples.channels, 2) * sinkSample;
  layout.sampleRate = header.SampleRate;
  layout.dataOffset = header.DataOffset;
  layout.dataEnd = header.DataOffset + header.Frames() * layout.frameBytes;
  return layout;
}

int64_t PcmLayout::Frames() const {
  if (frameBytes <= 0 || dataEnd <= dataOffset) return 0;
  return (dataEnd - dataOffset) / frameBytes;
}

int32_t PcmLayout::LengthMs() const {
  const int64_t ms = FrameToMilliseconds(Frames(), sampleRate);
  return static_cast<int32_t>(std::clamp<int64_t>(ms, 0, std::numeric_limits<int32_t>::max()));
}

int64_t PcmLayout::ByteAtMs(int32_t ms) const {
  const int32_t clamped = std::clamp(ms, 0, LengthMs());
  const int64_t frame = std::clamp<int64_t>(MillisecondsToFrame(clamped, sampleRate), 0, Frames());
  return dataOffset + frame * frameBytes;
}

int64_t PcmLayout::BytesToMicroseconds(int64_t bytes) const {
  if (frameBytes <= 0 || sampleRate <= 0 || bytes <= 0) return 0;
  const Extended frames = Extended(bytes / frameBytes);
  return TruncateToInt(frames * Extended(int64_t{1000000}) / Extended(int64_t{sampleRate}));
}

int32_t PlayedPositionMs(int32_t startMs, int64_t playedUs, int32_t lengthMs) {
  const int64_t ms = static_cast<int64_t>(startMs) + std::max<int64_t>(playedUs, 0) / 1000;
  return static_cast<int32_t>(std::clamp<int64_t>(ms, 0, std::max(lengthMs, 0)));
}

}  // namespace sonaveld
