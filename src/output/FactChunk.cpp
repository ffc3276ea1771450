#include "output/FactChunk.h"

#include <cstring>

namespace sonaveld {

int64_t FactCountOffset(const uint8_t* header, int64_t dataOffset) {
  const int64_t tagOfData = dataOffset - 8;
  for (int64_t at = 12; at + 8 <= tagOfData;) {
    const uint8_t* chunk = header + at;
    if (std::memcmp(chunk, "data", 4) == 0) return -1;
    const int64_t size = static_cast<int64_t>(chunk[4]) | static_cast<int64_t>(chunk[5]) << 8 |
                         static_cast<int64_t>(chunk[6]) << 16 | static_cast<int64_t>(chunk[7]) << 24;
    if (std::memcmp(chunk, "fact", 4) == 0) return size >= 4 && at + 12 <= tagOfData ? at + 8 : -1;
    at += 8 + size + (size & 1);
  }
  return -1;
}

}  // namespace sonaveld
