#include "output/CarriedChunks.h"

#include <cstring>

namespace sonaveld {
namespace {

// A chunk worth carrying, from its first 12 bytes (id, size, list type where the body has one).
bool IsCarried(const uint8_t head[12], int64_t size) {
  if (std::memcmp(head, "id3 ", 4) == 0 || std::memcmp(head, "ID3 ", 4) == 0) return true;
  return std::memcmp(head, "LIST", 4) == 0 && size >= 4 && std::memcmp(head + 8, "INFO", 4) == 0;
}

void Append(CarriedChunks& chunks, int64_t begin, int64_t length) {
  if (!chunks.stretches.empty()) {
    ByteStretch& last = chunks.stretches.back();
    if (last.begin + last.length == begin) {
      last.length += length;
      return;
    }
  }
  chunks.stretches.push_back({begin, length});
}

}  // namespace

int64_t CarriedChunks::Bytes() const {
  int64_t total = padMissing ? 1 : 0;
  for (const auto& s : stretches) total += s.length;
  return total;
}

CarriedChunks FindCarriedChunks(ByteSource& source, int64_t fileSize, const WaveHeader& header) {
  CarriedChunks chunks;
  if (header.DataOffset <= 0 || header.DataEnd >= header.FileSize) return chunks;
  int64_t at = header.DataEnd + ((header.DataEnd - header.DataOffset) & 1);
  while (at + 8 <= fileSize) {
    uint8_t head[12] = {};
    if (source.ReadAt(at, head, 12) < 8) {  // within the size just learnt: the read failed
      chunks.readError = true;
      return chunks;
    }
    const int64_t size = static_cast<int64_t>(head[4]) | static_cast<int64_t>(head[5]) << 8 |
                         static_cast<int64_t>(head[6]) << 16 | static_cast<int64_t>(head[7]) << 24;
    const int64_t end = at + 8 + size;
    if (end > fileSize) break;
    const int64_t pad = size & 1;
    if (IsCarried(head, size)) {
      const bool padThere = end + pad <= fileSize;
      Append(chunks, at, end - at + (padThere ? pad : 0));
      chunks.padMissing = pad != 0 && !padThere;
    }
    at = end + pad;
  }
  return chunks;
}

}  // namespace sonaveld
