#pragma once
#include <cstdint>
#include <functional>

#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "peaks/FramePeaks.h"

namespace sonaveld::peaks {

// Largest single read of frames, in bytes.
constexpr int64_t kReadBytes = int64_t{1} << 20;

// Called with the 1-based number of a chunk's first frame, its bytes and its whole frames;
// returns false to stop the reading.
using ChunkVisitor = std::function<bool(int64_t firstFrame, const uint8_t* bytes, int64_t frames)>;

// Reads frames first..last (1-based, clamped to 1..h.Frames()) of h's sample area in order, in
// chunks of at most chunkFrames frames (and at most kReadBytes bytes unless one frame is more),
// and hands each chunk to visit. The buffer is allocated once per call, no larger than the span.
// Returns false when a read failed or ended early (the file shrank) or visit asked to stop.
bool ReadFrameChunks(ByteSource& source, const WaveHeader& h, int64_t first, int64_t last, int64_t chunkFrames,
                     const ChunkVisitor& visit);

// Min/max per channel of frames first..last read straight from the file; frames that cannot be
// read add nothing.
FramePeaks ScanFrameRange(ByteSource& source, const WaveHeader& h, int64_t first, int64_t last);

}  // namespace sonaveld::peaks
