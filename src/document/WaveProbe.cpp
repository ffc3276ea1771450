#include "document/WaveProbe.h"

#include <cstring>

namespace sonaveld {
namespace {

// The search reads only within the file, so a read that gives -1 is an error of the source.
bool IsDataTag(ByteSource& source, int64_t offset, bool* readError) {
  char tag[4] = {};
  const int64_t got = source.ReadAt(offset, tag, 4);
  if (got < 0) *readError = true;
  return got == 4 && std::memcmp(tag, "data", 4) == 0;
}

int64_t ChunkSize(ByteSource& source, int64_t sizeOffset, bool* readError) {
  uint8_t b[4] = {};
  if (source.ReadAt(sizeOffset, b, 4) < 0) *readError = true;
  return static_cast<int64_t>(b[0]) | static_cast<int64_t>(b[1]) << 8 | static_cast<int64_t>(b[2]) << 16 |
         static_cast<int64_t>(b[3]) << 24;
}

DataChunk ChunkAt(ByteSource& source, int64_t tagOffset, int64_t fileSize, bool readError) {
  DataChunk chunk;
  chunk.offset = tagOffset + 8;
  const int64_t size = ChunkSize(source, tagOffset + 4, &readError);
  chunk.readError = readError;
  chunk.end = (size > 0 && chunk.offset + size <= fileSize) ? chunk.offset + size : fileSize;
  return chunk;
}

}  // namespace

uint32_t ReadU32(ByteSource& source, int64_t offset) {
  uint8_t b[4] = {};
  source.ReadAt(offset, b, 4);
  return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
         static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

uint8_t ReadU8(ByteSource& source, int64_t offset) {
  uint8_t b = 0;
  source.ReadAt(offset, &b, 1);
  return b;
}

int64_t WaveHeader::Frames() const {
  const int bytes = FrameBytes(Kind);
  return bytes == 0 || DataEnd <= DataOffset ? 0 : (DataEnd - DataOffset) / bytes;
}

DataChunk FindDataChunk(ByteSource& source, int64_t fileSize, int firstTagOffset, int lastTagOffset) {
  // The chunk walk: 4-byte id, 32-bit size, bodies padded to an even length.
  bool readError = false;
  for (int64_t at = 12; at + 8 <= fileSize;) {
    if (IsDataTag(source, at, &readError)) return ChunkAt(source, at, fileSize, readError);
    const int64_t size = ChunkSize(source, at + 4, &readError);
    at += 8 + size + (size & 1);
  }
  // Fallback for headers the walk cannot follow: the last "data" tag near the start.
  int64_t found = -1;
  for (int64_t p = firstTagOffset; p <= lastTagOffset; ++p) {
    if (p + 8 <= fileSize && IsDataTag(source, p, &readError)) found = p;
  }
  if (found < 0) {
    DataChunk none;
    none.readError = readError;
    return none;
  }
  return ChunkAt(source, found, fileSize, readError);
}

ProbeResult ProbeWave(ByteSource& source, const std::string& path) {
  ProbeResult result;
  WaveHeader& h = result.header;
  h.Channels = ReadU8(source, 22);
  h.BitsPerSample = ReadU8(source, 34);
  h.SampleRate = static_cast<int32_t>(ReadU32(source, 24));
  h.FileSize = source.Size();
  const DataChunk chunk = FindDataChunk(source, h.FileSize, 1, 100);
  h.DataOffset = chunk.offset;
  h.DataEnd = chunk.end;

  if (h.BitsPerSample != 8 && h.BitsPerSample != 16) {
    result.status = Status::Fail(MessageId::kNotBits);
  } else if (h.Channels != 1 && h.Channels != 2) {
    result.status = Status::Fail(MessageId::kNotChannels);
  } else if (h.SampleRate <= 0) {
    result.status = Status::Fail(MessageId::kBadRate);
  } else if (chunk.readError || h.FileSize < 0) {
    // The data area found (or not found) after a failed read cannot be trusted.
    result.status = Status::Fail(MessageId::kCannotRead, path);
  } else if (chunk.offset == 0) {
    result.status = Status::Fail(MessageId::kNoDataChunk);
  } else {
    h.Kind = ClassifyFormat(h.BitsPerSample, h.Channels);
  }
  return result;
}

}  // namespace sonaveld
