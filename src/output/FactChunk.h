#pragma once
#include <cstdint>

namespace sonaveld {

// Where the frame count of a "fact" chunk lies among a WAV file's bytes before its sample data, so
// that an output of fewer frames can state its own count. header holds the bytes 0 to dataOffset - 1.
// Walks the chunks from byte 12 (4-byte id, 32-bit little-endian size, bodies padded to an even
// length) up to the data chunk's tag at dataOffset - 8, stopping at a "data" id. Returns the byte
// offset of the first "fact" chunk's body when its first four bytes lie wholly before that tag;
// -1 when there is no such chunk.
int64_t FactCountOffset(const uint8_t* header, int64_t dataOffset);

}  // namespace sonaveld
