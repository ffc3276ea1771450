#include "document/RiffChunks.h"

#include <cstring>

#include "document/LittleEndian.h"

namespace sonaveld {

std::vector<uint8_t> BuildChunk(const FourCC& id, const std::vector<uint8_t>& body) {
  std::vector<uint8_t> chunk(id.begin(), id.end());
  AppendU32(chunk, static_cast<uint32_t>(body.size()));
  chunk.insert(chunk.end(), body.begin(), body.end());
  if (body.size() % 2 == 1) chunk.push_back(0);
  return chunk;
}

ChunkWalk WalkChunks(ByteSource& source, int64_t begin, int64_t limit) {
  ChunkWalk walk;
  walk.next = begin;
  while (walk.next + 8 <= limit) {
    uint8_t head[8];
    if (source.ReadAt(walk.next, head, 8) != 8) {
      walk.readError = true;
      return walk;
    }
    RiffChunk chunk;
    std::memcpy(chunk.id.data(), head, 4);
    chunk.offset = walk.next;
    chunk.size = LoadU32(head + 4);
    if (chunk.End() > limit) break;
    if (chunk.Is("LIST") && chunk.size >= 4 && source.ReadAt(chunk.Body(), chunk.listType.data(), 4) != 4) {
      walk.readError = true;
      return walk;
    }
    walk.chunks.push_back(chunk);
    walk.next = chunk.Next();
  }
  return walk;
}

}  // namespace sonaveld
