#include "peaks/FrameChunks.h"

#include <algorithm>
#include <vector>

#include "peaks/SampleScan.h"

namespace sonaveld::peaks {

bool ReadFrameChunks(ByteSource& source, const WaveHeader& h, int64_t first, int64_t last, int64_t chunkFrames,
                     const ChunkVisitor& visit) {
  const int64_t frameBytes = h.FrameSize();
  if (frameBytes == 0) return true;
  first = std::max<int64_t>(first, 1);
  last = std::min(last, h.Frames());
  if (first > last) return true;
  const int64_t perChunk = std::clamp<int64_t>(chunkFrames, 1, std::max<int64_t>(1, kReadBytes / frameBytes));
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(perChunk, last - first + 1) * frameBytes));
  for (int64_t frame = first; frame <= last;) {
    const int64_t frames = std::min(perChunk, last - frame + 1);
    const int64_t want = frames * frameBytes;
    const int64_t got = source.ReadAt(h.DataOffset + (frame - 1) * frameBytes, buffer.data(), want);
    if (got < 0) return false;
    const int64_t whole = got / frameBytes;
    if (whole > 0 && !visit(frame, buffer.data(), whole)) return false;
    if (got < want) return false;
    frame += frames;
  }
  return true;
}

FramePeaks ScanFrameRange(ByteSource& source, const WaveHeader& h, int64_t first, int64_t last) {
  FramePeaks peaks;
  ReadFrameChunks(source, h, first, last, last - first + 1, [&](int64_t, const uint8_t* bytes, int64_t frames) {
    ScanFrames(h.Samples(), bytes, frames, peaks);
    return true;
  });
  return peaks;
}

}  // namespace sonaveld::peaks
