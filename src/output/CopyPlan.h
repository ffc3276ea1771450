#pragma once
#include <cstdint>
#include <vector>

#include "document/WaveProbe.h"
#include "output/SelectedRanges.h"

namespace sonaveld {

// The unit of every copy of the 8/16-bit kinds: a range contributes whole 200-byte chunks counted
// from its start byte, plus the one short read that meets the end of the sample area.
constexpr int64_t kCopyChunkSize = 200;

// True for the 24/32-bit integer and float kinds (5 to 10) and every file of 3 to 8 channels, whose
// cuts fall exactly on the frames given, and for every layout when exact cuts are asked for;
// otherwise the 8/16-bit mono and stereo kinds keep the 200-byte chunk rule.
bool CutsOnFrames(const WaveHeader& header, bool exact = false);
// The bytes every copy block is a whole number of: 200 for the chunk rule, one frame for the cuts
// on frames, so that an output stopped between blocks holds whole frames only.
int64_t CopyUnit(const WaveHeader& header, bool exact = false);

// A stretch of source bytes [begin, begin + length).
struct ByteStretch {
  int64_t begin = 0;
  int64_t length = 0;

  bool operator==(const ByteStretch&) const = default;
};

// The source bytes range r adds to an output, from its start byte B = DataOffset + (start - 1) *
// FrameBytes. Chunk rule: (end - start) * FrameBytes div 200 whole chunks, cut short at dataEnd; a
// range that ends at the implied end position takes everything from B to dataEnd. Cuts on frames
// (CutsOnFrames(header, exact)): exactly end - start frames, or every frame to the end for a range to the implied end, in
// both cases no more than the whole frames before dataEnd. dataEnd is the end of the sample area
// (the header's, or less when the file has shrunk).
ByteStretch RangeStretch(const WaveHeader& header, int64_t dataEnd, const FrameRange& r, bool exact = false);

// The pieces of the split at marks, in order, marks ascending. Chunk rule: the sample area from
// DataOffset to dataEnd cut on the 200-byte chunk grid; a piece ends with the first chunk whose start
// byte is at or after the next mark's start byte, and the last piece runs to dataEnd (possibly
// empty). Cuts on frames (CutsOnFrames(header, exact)): the whole frames cut exactly at the marks,
// [1, P1), [P1, P2), ..., [Pn, end], n + 1 pieces always: a piece between equal marks, or beyond the
// last frame, is empty.
std::vector<ByteStretch> SplitAtMarksPieces(const WaveHeader& header, int64_t dataEnd,
                                            const std::vector<int64_t>& marks, bool exact = false);

}  // namespace sonaveld
