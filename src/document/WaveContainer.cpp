#include "document/WaveContainer.h"

#include <cstring>

#include "document/LittleEndian.h"

namespace sonaveld {
namespace {

uint64_t LoadU64(const uint8_t* bytes) { return LoadU32(bytes) | uint64_t{LoadU32(bytes + 4)} << 32; }

// The walk that looks for the "fmt " chunk of a wide file ends after this many chunks: a header
// of junk chunks is not walked through to the data.
constexpr int kFormatSearchChunks = 64;

}  // namespace

WaveContainer ReadContainer(ByteSource& source) {
  char magic[4] = {};
  if (source.ReadAt(0, magic, 4) != 4) return WaveContainer::kRiff;
  if (std::memcmp(magic, "RF64", 4) == 0) return WaveContainer::kRf64;
  if (std::memcmp(magic, "BW64", 4) == 0) return WaveContainer::kBw64;
  return WaveContainer::kRiff;
}

Ds64Sizes ReadDs64(ByteSource& source) {
  uint8_t chunk[8 + 24] = {};
  Ds64Sizes sizes;
  if (source.ReadAt(12, chunk, sizeof chunk) != static_cast<int64_t>(sizeof chunk)) return sizes;
  if (std::memcmp(chunk, "ds64", 4) != 0 || LoadU32(chunk + 4) < 24) return sizes;
  sizes.present = true;
  sizes.riffSize = LoadU64(chunk + 8);
  sizes.dataSize = LoadU64(chunk + 16);
  sizes.sampleCount = LoadU64(chunk + 24);
  return sizes;
}

const char* ContainerName(WaveContainer container) {
  switch (container) {
    case WaveContainer::kRf64: return "rf64";
    case WaveContainer::kBw64: return "bw64";
    case WaveContainer::kRiff: break;
  }
  return "riff";
}

int64_t FormatShift(ByteSource& source, WaveContainer container, int64_t fileSize) {
  if (!IsWide(container)) return 0;
  int64_t at = 12;
  for (int i = 0; i < kFormatSearchChunks && at + 8 <= fileSize; ++i) {
    uint8_t head[8];
    if (source.ReadAt(at, head, 8) != 8) return 0;
    if (std::memcmp(head, "fmt ", 4) == 0) return at - 12;
    const int64_t size = LoadU32(head + 4);
    at += 8 + size + (size & 1);
  }
  return 0;
}

}  // namespace sonaveld
