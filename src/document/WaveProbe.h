#pragma once
#include <cstdint>
#include <string>

#include "base/Status.h"
#include "document/FormatKind.h"
#include "document/HeaderOffsets.h"
#include "document/SampleLayout.h"
#include "document/WaveContainer.h"
#include "io/ByteSource.h"

namespace sonaveld {

// The header values of a WAV file that the system uses. Offsets and sizes in bytes.
struct WaveHeader {
  uint8_t Channels = 0;       // low byte of the channel count (kChannelsOffset)
  uint8_t BitsPerSample = 0;  // low byte of the bits-per-sample field (kBitsPerSampleOffset)
  int32_t SampleRate = 0;     // signed 32-bit (kSampleRateOffset)
  int64_t DataOffset = 0;     // first sample byte
  int64_t DataEnd = 0;        // one past the last sample byte (never beyond FileSize)
  int64_t FileSize = 0;       // size of the whole file
  FormatKind Kind = FormatKind::kNone;  // kNone for 3 to 8 channels, which only Layout describes
  SampleLayout Layout;                  // channels 1..8, sample bytes, encoding; zero when refused
  uint32_t ChannelMask = 0;             // an extensible file's speaker positions, else 0
  bool HasChannelMask = false;          // the file is extensible, so ChannelMask was read
  WaveContainer Container = WaveContainer::kRiff;  // bytes 0..3: RIFF, RF64 or BW64

  // Whole sample frames between DataOffset and DataEnd; 0 without a layout.
  int64_t Frames() const;
  // The layout of the samples: Layout, or the kind's layout for a header that names a kind alone.
  SampleLayout Samples() const { return Layout.channels > 0 ? Layout : SampleLayoutOf(Kind); }
  // Bytes of one sample frame (Samples().FrameBytes()); 0 without a layout.
  int FrameSize() const { return Samples().FrameBytes(); }
};

struct ProbeResult {
  Status status;      // Ok, or the refusal's message
  WaveHeader header;  // the values read, also when the file was refused
};

// Where the sample data lies. offset is 0 when no data chunk was found.
struct DataChunk {
  int64_t offset = 0;  // byte after the chunk's size field
  int64_t end = 0;     // offset + the chunk's size when that is above 0 and fits, else the file's end
  bool readError = false;  // a read of the search failed: offset and end cannot be trusted
  WaveContainer container = WaveContainer::kRiff;
};

// Reads and classifies the header: the channel byte, the bits byte, the rate, then the data chunk
// (RIFF chunk walk from byte 12; where it finds none, the "data" tag search over offsets 1..100).
// Refuses files that are not 8/16/24/32-bit, not 1 to 8 channels, have a rate of 0 or below, or no data chunk;
// a failed read of the data chunk search gives "ファイル %s を読み込めません。" with path.
ProbeResult ProbeWave(ByteSource& source, const std::string& path = {});

// Finds the data chunk: the first "data" chunk of the chunk walk from byte 12, else the last
// "data" tag at offsets first..last (the size field must lie within the file). fileSize in bytes.
// In RF64/BW64 a size field of 0xFFFFFFFF stands for the "ds64" chunk's data size; a RIFF file
// larger than its 32-bit sizes can describe has its samples read to the end of the file.
DataChunk FindDataChunk(ByteSource& source, int64_t fileSize, int firstTagOffset, int lastTagOffset);

// The format chunk's fields that decide the sample encoding, read at their fixed offsets (format
// size 16, tag 20, bits 34 (its low byte), the extensible sub-format's tag 44), each shift bytes
// further on (FormatShift: the "ds64" chunk of RF64/BW64 stands before the format chunk).
FormatFields ReadFormatFields(ByteSource& source, int64_t shift = 0);

// Frames of a layout in a data area of this many bytes; 0 for a zero layout or no bytes.
int64_t WholeFrames(const SampleLayout& layout, int64_t bytes);

// Little-endian readers over a source; bytes beyond the end read as 0.
uint32_t ReadU32(ByteSource& source, int64_t offset);
uint8_t ReadU8(ByteSource& source, int64_t offset);

}  // namespace sonaveld
