#pragma once
#include <cstdint>
#include <vector>

#include "document/WaveProbe.h"
#include "output/SelectedRanges.h"

namespace sonaveld {

// The unit of every copy: a range contributes whole 200-byte chunks counted from its start byte,
// plus the one short read that meets the end of the sample area.
constexpr int64_t kCopyChunkSize = 200;

// A stretch of source bytes [begin, begin + length).
struct ByteStretch {
  int64_t begin = 0;
  int64_t length = 0;

  bool operator==(const ByteStretch&) const = default;
};

// The source bytes range r adds to an output under the chunk rule: from its start byte
// B = DataOffset + (start - 1) * FrameBytes, (end - start) * FrameBytes div 200 whole chunks, cut short
// at data_end; a range that ends at the implied end position takes everything from B to data_end.
// dataEnd is the end of the sample area (the header's, or less when the file has shrunk).
ByteStretch RangeStretch(const WaveHeader& header, int64_t dataEnd, const FrameRange& r);

// The pieces of the split at marks, in order: the sample area from DataOffset to dataEnd cut on the
// 200-byte chunk grid; a piece ends with the first chunk whose start byte is at or after the next
// mark's start byte, and the last piece runs to dataEnd (possibly empty). marks ascending.
std::vector<ByteStretch> SplitAtMarksPieces(const WaveHeader& header, int64_t dataEnd,
                                            const std::vector<int64_t>& marks);

}  // namespace sonaveld
