#pragma once
#include <cstdint>
#include <vector>

#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "output/CopyPlan.h"

namespace sonaveld {

// The chunks after the sample data that every cut and split output carries after its samples, so
// that titles, artists, comments and tags are not lost: "LIST" chunks of list type "INFO" and
// "id3 " / "ID3 " chunks. Chunks that point into the samples (cue, smpl, LIST of type adtl) and
// unknown chunks stay behind: their positions would be wrong in a cut file.
struct CarriedChunks {
  // Source bytes to copy, in source order: each chunk whole (id, size, body, pad byte); chunks
  // that stand next to each other in the source form one stretch.
  std::vector<ByteStretch> stretches;
  bool padMissing = false;  // the last chunk's body is odd and the file ends before its pad byte
  bool readError = false;   // a read of the walk failed: nothing can be trusted

  bool empty() const { return stretches.empty(); }
  // Bytes an output gains by carrying them (the pad byte before them not counted).
  int64_t Bytes() const;
};

// Walks the chunks from the data chunk's end plus its pad byte: only when the data size field was
// above 0 and fitted the file when it was probed (header.DataEnd < header.FileSize); otherwise the
// samples run to the file's end and nothing follows them. Each chunk is a 4-byte id, a 32-bit
// little-endian size, the body and one pad byte when the size is odd; the walk stops at the first
// chunk whose header or body would run past fileSize (the source's size now).
CarriedChunks FindCarriedChunks(ByteSource& source, int64_t fileSize, const WaveHeader& header);

}  // namespace sonaveld
