#pragma once
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "io/ByteSource.h"

namespace sonaveld {

// The four-character code of a RIFF chunk ("fmt ", "LIST", ...).
using FourCC = std::array<char, 4>;

// The FourCC of a four-character text.
constexpr FourCC MakeFourCC(std::string_view text) { return {text[0], text[1], text[2], text[3]}; }

// One top-level chunk of a RIFF file, as its 8-byte header gives it. Offsets in bytes from the
// start of the file.
struct RiffChunk {
  FourCC id{};
  int64_t offset = 0;  // where the id stands
  int64_t size = 0;    // the 32-bit size field: the body's bytes, the pad byte after an odd body not counted
  FourCC listType{};   // a LIST chunk's first four body bytes; zeros for other chunks and a LIST under 4 bytes

  bool Is(std::string_view fourcc) const { return id == MakeFourCC(fourcc); }
  // A LIST chunk of this list type ("INFO", "adtl").
  bool IsList(std::string_view type) const { return Is("LIST") && size >= 4 && listType == MakeFourCC(type); }
  int64_t Body() const { return offset + 8; }
  int64_t End() const { return offset + 8 + size; }   // one past the body
  int64_t Next() const { return End() + (size & 1); }  // where the next chunk starts
};

struct ChunkWalk {
  std::vector<RiffChunk> chunks;  // in file order
  int64_t next = 0;               // where the walk stopped: Next() of the last chunk taken, or its start
  bool readError = false;         // a read inside the bounds failed; chunks holds the ones before it
};

// A whole chunk: id, the size of body, body, and a 0 pad byte after an odd body.
std::vector<uint8_t> BuildChunk(const FourCC& id, const std::vector<uint8_t>& body);

// Walks the chunks from byte begin: each chunk's header and body must end at or before limit (its
// pad byte may lie beyond); the walk stops at the first that does not, or where fewer than 8 bytes
// remain. Every read lies within limit, so a short read is a read error of the source.
ChunkWalk WalkChunks(ByteSource& source, int64_t begin, int64_t limit);

}  // namespace sonaveld
