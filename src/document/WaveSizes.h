#pragma once
#include <cstdint>

#include "io/OutputFile.h"

namespace sonaveld {

// The size fields of a WAV file written into out, once its bytes are all there. Offsets in bytes.
struct WaveSizes {
  bool wide = false;             // RF64/BW64 with its "ds64" chunk at byte 12 (kDs64ChunkBytes)
  int64_t dataSizeOffset = 0;    // the data chunk's 32-bit size field
  int64_t fileBytes = 0;         // the whole file
  int64_t dataBytes = 0;         // the sample bytes
  int64_t frames = 0;            // whole sample frames, for ds64's sample count
};

// RIFF: the RIFF size (fileBytes - 8) at byte 4 and dataBytes in the data size field, each cut to
// 32 bits. Wide: both 32-bit fields 0xFFFFFFFF and the three 64-bit values into "ds64". False when
// a write failed.
bool WriteWaveSizes(OutputFile& out, const WaveSizes& sizes);

}  // namespace sonaveld
