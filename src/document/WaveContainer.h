#pragma once
#include <cstdint>

#include "io/ByteSource.h"

namespace sonaveld {

// The form of a WAV file: plain RIFF (32-bit sizes), or RF64 / BW64, whose "ds64" chunk right after
// "WAVE" holds the 64-bit sizes for the 32-bit fields set to 0xFFFFFFFF.
enum class WaveContainer : uint8_t { kRiff, kRf64, kBw64 };

// The 32-bit size field value that tells a reader of RF64/BW64 to take the size from "ds64".
constexpr uint32_t kSizeInDs64 = 0xFFFFFFFFu;
// The largest file a 32-bit RIFF size field can describe (the field counts the bytes after it).
constexpr int64_t kLargestRiffFile = int64_t{0xFFFFFFFF} + 8;
// A "ds64" chunk as the system writes it: at byte 12, a 28-byte body (riffSize, dataSize and
// sampleCount as 64-bit values, an empty table), so the three values lie at these offsets.
constexpr int64_t kDs64ChunkBytes = 36;
constexpr int64_t kDs64RiffSizeOffset = 20;
constexpr int64_t kDs64DataSizeOffset = 28;
constexpr int64_t kDs64SampleCountOffset = 36;

// The 64-bit values of a "ds64" chunk.
struct Ds64Sizes {
  bool present = false;  // a "ds64" chunk of at least 24 body bytes at byte 12
  uint64_t riffSize = 0;
  uint64_t dataSize = 0;
  uint64_t sampleCount = 0;
};

// The form by bytes 0..3 ("RF64", "BW64"; anything else is read as RIFF).
WaveContainer ReadContainer(ByteSource& source);
// The "ds64" chunk at byte 12; not present when there is none or a read fails.
Ds64Sizes ReadDs64(ByteSource& source);
// "riff", "rf64" or "bw64".
const char* ContainerName(WaveContainer container);
// True for RF64 and BW64.
inline bool IsWide(WaveContainer container) { return container != WaveContainer::kRiff; }

// How far the "fmt " chunk of a file of this form stands from byte 12, where a canonical header has
// it: 0 for RIFF (its fields are read at their fixed offsets whatever the chunks); for RF64/BW64
// the bytes of the chunks before the first "fmt " chunk (the "ds64" chunk at least), found by the
// chunk walk from byte 12 within fileSize; 0 when the walk finds none.
int64_t FormatShift(ByteSource& source, WaveContainer container, int64_t fileSize);

}  // namespace sonaveld
