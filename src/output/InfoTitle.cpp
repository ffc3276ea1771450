#include "output/InfoTitle.h"

#include <algorithm>

#include "document/RiffChunks.h"
#include "io/ByteSource.h"

namespace sonaveld {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes TitleChunk(const std::string& title) {
  Bytes text(title.begin(), title.end());
  text.push_back(0);
  return BuildChunk(MakeFourCC("INAM"), text);
}

}  // namespace

Bytes InfoWithTitle(const uint8_t* body, size_t size, const std::string& title) {
  MemorySource source(body, size);
  const ChunkWalk walk = WalkChunks(source, 4, static_cast<int64_t>(size));
  Bytes items(body, body + std::min<size_t>(size, 4));
  bool titled = false;
  for (const RiffChunk& item : walk.chunks) {
    if (item.Is("INAM")) {
      if (!titled) {
        const Bytes chunk = TitleChunk(title);
        items.insert(items.end(), chunk.begin(), chunk.end());
      }
      titled = true;
      continue;
    }
    // The last sub-chunk may lack its pad byte: the one put back keeps every later chunk aligned.
    const int64_t end = std::min<int64_t>(item.Next(), static_cast<int64_t>(size));
    items.insert(items.end(), body + item.offset, body + end);
    if (end < item.Next()) items.push_back(0);
  }
  if (!titled) {
    const Bytes chunk = TitleChunk(title);
    items.insert(items.begin() + static_cast<ptrdiff_t>(std::min<size_t>(size, 4)), chunk.begin(), chunk.end());
  }
  const int64_t walked = std::min<int64_t>(walk.next, static_cast<int64_t>(size));
  items.insert(items.end(), body + walked, body + size);
  return BuildChunk(MakeFourCC("LIST"), items);
}

Bytes InfoList(const std::string& title) {
  Bytes items{'I', 'N', 'F', 'O'};
  const Bytes chunk = TitleChunk(title);
  items.insert(items.end(), chunk.begin(), chunk.end());
  return BuildChunk(MakeFourCC("LIST"), items);
}

}  // namespace sonaveld
