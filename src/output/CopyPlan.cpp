#include "output/CopyPlan.h"

#include <algorithm>
#include <cstdint>

namespace sonaveld {
namespace {

// frames * frameBytes and a + b, held at the largest value where they would overflow: a mark may
// be any 64-bit position, and a byte offset that large lies beyond every sample area anyway.
// The GCC/Clang overflow builtins where there are any; otherwise the same tests in standard C++
// (frameBytes > 0 here).
#if (defined(__GNUC__) || defined(__clang__)) && !defined(SONAVELD_NO_SIMD)
int64_t FrameOffset(int64_t frames, int frameBytes) {
  int64_t bytes = 0;
  return __builtin_mul_overflow(frames, frameBytes, &bytes) ? INT64_MAX : bytes;
}

int64_t SaturatedAdd(int64_t a, int64_t b) {
  int64_t sum = 0;
  return __builtin_add_overflow(a, b, &sum) ? INT64_MAX : sum;
}
#else
int64_t FrameOffset(int64_t frames, int frameBytes) {
  if (frames > INT64_MAX / frameBytes || frames < INT64_MIN / frameBytes) return INT64_MAX;
  return frames * frameBytes;
}

int64_t SaturatedAdd(int64_t a, int64_t b) {
  if (b > 0 ? a > INT64_MAX - b : a < INT64_MIN - b) return INT64_MAX;
  return a + b;
}
#endif

// The frame-exact split: piece k runs from frame P(k) to frame P(k+1) (frame 1 and the end of the
// whole frames at the ends), each cut held within the frames and never before the previous cut.
std::vector<ByteStretch> FramePieces(const WaveHeader& header, int64_t dataEnd, const std::vector<int64_t>& marks) {
  const int frameBytes = header.FrameSize();
  const int64_t frames = std::max<int64_t>(0, dataEnd - header.DataOffset) / frameBytes;
  std::vector<ByteStretch> pieces;
  int64_t first = 0;  // frames before the piece being planned
  for (const int64_t mark : marks) {
    const int64_t cut = std::clamp<int64_t>(mark - 1, first, frames);
    pieces.push_back({header.DataOffset + first * frameBytes, (cut - first) * frameBytes});
    first = cut;
  }
  pieces.push_back({header.DataOffset + first * frameBytes, (frames - first) * frameBytes});
  return pieces;
}

}  // namespace

bool CutsOnFrames(const WaveHeader& header, bool exact) {
  const SampleLayout layout = header.Samples();
  if (layout.channels == 0) return false;
  return exact || layout.channels > 2 || layout.sampleBytes >= 3;
}

int64_t CopyUnit(const WaveHeader& header, bool exact) {
  return CutsOnFrames(header, exact) ? header.FrameSize() : kCopyChunkSize;
}

ByteStretch RangeStretch(const WaveHeader& header, int64_t dataEnd, const FrameRange& r, bool exact) {
  const int frameBytes = header.FrameSize();
  if (frameBytes == 0) return {};
  const int64_t begin = SaturatedAdd(header.DataOffset, FrameOffset(r.start - 1, frameBytes));
  const int64_t available = std::max<int64_t>(0, dataEnd - begin);
  if (CutsOnFrames(header, exact)) {
    const int64_t wholeFrames = available / frameBytes * frameBytes;
    if (r.toEnd || r.end <= r.start) return {begin, r.toEnd ? wholeFrames : 0};
    return {begin, std::min(FrameOffset(r.end - r.start, frameBytes), wholeFrames)};
  }
  if (r.toEnd) return {begin, available};
  const int64_t chunks = FrameOffset(r.end - r.start, frameBytes) / kCopyChunkSize;
  if (chunks <= 0) return {begin, 0};
  return {begin, std::min(chunks * kCopyChunkSize, available)};
}

std::vector<ByteStretch> SplitAtMarksPieces(const WaveHeader& header, int64_t dataEnd,
                                            const std::vector<int64_t>& marks, bool exact) {
  if (CutsOnFrames(header, exact)) return FramePieces(header, dataEnd, marks);
  const int frameBytes = header.FrameSize();
  const int64_t area = std::max<int64_t>(0, dataEnd - header.DataOffset);
  const int64_t fullChunks = area / kCopyChunkSize;
  std::vector<ByteStretch> pieces;
  int64_t first = 0;  // first chunk of the piece being planned
  for (size_t i = 0; frameBytes != 0 && i < marks.size(); ++i) {
    // Chunk c ends the piece when its start byte DataOffset + 200c reaches the mark's boundary.
    const int64_t offset = FrameOffset(marks[i] - 1, frameBytes);
    const int64_t reach = offset <= 0 ? 0 : offset / kCopyChunkSize + (offset % kCopyChunkSize != 0);
    const int64_t last = std::max(first, reach);
    if (last >= fullChunks) break;  // the boundary lies in or after the last, short chunk: no cut
    pieces.push_back({header.DataOffset + first * kCopyChunkSize, (last - first + 1) * kCopyChunkSize});
    first = last + 1;
  }
  const int64_t begin = header.DataOffset + first * kCopyChunkSize;
  pieces.push_back({begin, header.DataOffset + area - begin});
  return pieces;
}

}  // namespace sonaveld
