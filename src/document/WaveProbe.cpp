#include "document/WaveProbe.h"

#include <cstdint>
#include <cstring>

namespace sonaveld {
namespace {

// The fallback "data" tag search of the probe covers these offsets.
constexpr int kFirstTagOffset = 1;
constexpr int kLastTagOffset = 100;

// The reads of the data chunk search, which remembers whether any of them failed. The search
// reads only within the file, so a read that gives -1 is an error of the source.
class ChunkSearch {
 public:
  ChunkSearch(ByteSource& source, int64_t fileSize)
      : source_(source), fileSize_(fileSize), container_(ReadContainer(source)) {
    if (IsWide(container_)) ds64_ = ReadDs64(source);
  }

  bool IsDataTag(int64_t offset) {
    char tag[4] = {};
    const int64_t got = source_.ReadAt(offset, tag, 4);
    if (got < 0) readError_ = true;
    return got == 4 && std::memcmp(tag, "data", 4) == 0;
  }

  int64_t ChunkSize(int64_t sizeOffset) {
    uint8_t b[4] = {};
    if (source_.ReadAt(sizeOffset, b, 4) < 0) readError_ = true;
    return static_cast<int64_t>(b[0]) | static_cast<int64_t>(b[1]) << 8 | static_cast<int64_t>(b[2]) << 16 |
           static_cast<int64_t>(b[3]) << 24;
  }

  // The data chunk whose tag is at tagOffset.
  DataChunk ChunkAt(int64_t tagOffset) {
    DataChunk chunk;
    chunk.offset = tagOffset + 8;
    const int64_t size = DataSize(ChunkSize(tagOffset + 4));
    chunk.readError = readError_;
    chunk.container = container_;
    chunk.end = (size > 0 && size <= fileSize_ - chunk.offset) ? chunk.offset + size : fileSize_;
    return chunk;
  }

  bool readError() const { return readError_; }

  // No data chunk found.
  DataChunk None() const {
    DataChunk none;
    none.readError = readError_;
    none.container = container_;
    return none;
  }

 private:
  // The data size a data chunk's 32-bit size field stands for: ds64's for 0xFFFFFFFF in RF64/BW64;
  // 0 (to the end of the file) in a RIFF file too large for its sizes, whose fields have wrapped.
  int64_t DataSize(int64_t field) const {
    if (IsWide(container_) && field == kSizeInDs64 && ds64_.present) {
      return ds64_.dataSize > static_cast<uint64_t>(INT64_MAX) ? 0 : static_cast<int64_t>(ds64_.dataSize);
    }
    if (!IsWide(container_) && fileSize_ > kLargestRiffFile) return 0;
    return field;
  }

  ByteSource& source_;
  int64_t fileSize_;
  WaveContainer container_;
  Ds64Sizes ds64_;
  bool readError_ = false;
};

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

int64_t WholeFrames(const SampleLayout& layout, int64_t bytes) {
  const int frameBytes = layout.FrameBytes();
  return frameBytes == 0 || bytes <= 0 ? 0 : bytes / frameBytes;
}

int64_t WaveHeader::Frames() const { return WholeFrames(Samples(), DataEnd - DataOffset); }

DataChunk FindDataChunk(ByteSource& source, int64_t fileSize, int firstTagOffset, int lastTagOffset) {
  ChunkSearch search(source, fileSize);
  // The chunk walk: 4-byte id, 32-bit size, bodies padded to an even length. A failed read ends
  // it: the size it would step by is unknown (and a source that fails every read, stepped through
  // 8 bytes at a time, would keep the walk going for as long as its size is large).
  for (int64_t at = 12; at + 8 <= fileSize;) {
    if (search.IsDataTag(at)) return search.ChunkAt(at);
    const int64_t size = search.readError() ? 0 : search.ChunkSize(at + 4);
    if (search.readError()) return search.None();
    at += 8 + size + (size & 1);
  }
  // Fallback for headers the walk cannot follow: the last "data" tag near the start.
  int64_t found = -1;
  for (int64_t p = firstTagOffset; p <= lastTagOffset && !search.readError(); ++p) {
    if (p + 8 <= fileSize && search.IsDataTag(p)) found = p;
  }
  return found < 0 || search.readError() ? search.None() : search.ChunkAt(found);
}

FormatFields ReadFormatFields(ByteSource& source, int64_t shift) {
  FormatFields f;
  const int64_t tag = kFormatTagOffset + shift;
  const int64_t sub = kSubFormatOffset + shift;
  f.formatTag = static_cast<uint16_t>(ReadU8(source, tag) | ReadU8(source, tag + 1) << 8);
  f.formatSize = ReadU32(source, kFormatSizeOffset + shift);
  f.subFormatTag = static_cast<uint16_t>(ReadU8(source, sub) | ReadU8(source, sub + 1) << 8);
  f.bitsPerSample = ReadU8(source, kBitsPerSampleOffset + shift);
  return f;
}

ProbeResult ProbeWave(ByteSource& source, const std::string& path) {
  ProbeResult result;
  WaveHeader& h = result.header;
  h.FileSize = source.Size();
  h.Container = ReadContainer(source);
  const int64_t shift = FormatShift(source, h.Container, h.FileSize);
  h.Channels = ReadU8(source, kChannelsOffset + shift);
  h.BitsPerSample = ReadU8(source, kBitsPerSampleOffset + shift);
  const FormatFields fields = ReadFormatFields(source, shift);
  const SampleEncoding encoding = ClassifyEncoding(fields);
  if (fields.formatTag == kTagExtensible && fields.formatSize >= kExtensibleFormatSize) {
    h.ChannelMask = ReadU32(source, kChannelMaskOffset + shift);
    h.HasChannelMask = true;
  }
  h.SampleRate = static_cast<int32_t>(ReadU32(source, kSampleRateOffset + shift));
  const DataChunk chunk = FindDataChunk(source, h.FileSize, kFirstTagOffset, kLastTagOffset);
  h.DataOffset = chunk.offset;
  h.DataEnd = chunk.end;

  if (encoding == SampleEncoding::kNone) {
    result.status = Status::Fail(MessageId::kNotBits);
  } else if (h.Channels < 1 || h.Channels > kMaxChannels) {
    result.status = Status::Fail(MessageId::kNotChannels);
  } else if (h.SampleRate <= 0) {
    result.status = Status::Fail(MessageId::kBadRate);
  } else if (chunk.readError || h.FileSize < 0) {
    // The data area found (or not found) after a failed read cannot be trusted.
    result.status = Status::Fail(MessageId::kCannotRead, path);
  } else if (chunk.offset == 0) {
    result.status = Status::Fail(MessageId::kNoDataChunk);
  } else {
    h.Layout = SampleLayoutOf(encoding, h.Channels);
    h.Kind = KindOfLayout(h.Layout);
  }
  return result;
}

}  // namespace sonaveld
