#pragma once
#include <cstdint>

namespace sonaveld {

// Where the system reads the fields of a WAV file's format chunk: fixed byte offsets from the
// start of the file, the places a canonical 44-byte header has them (the fields are read there
// whatever chunks a file has before its "fmt " chunk). All little-endian.
constexpr int64_t kFormatSizeOffset = 16;     // 32-bit size field of the "fmt " chunk
constexpr int64_t kFormatTagOffset = 20;      // 16-bit format tag (1: integer PCM)
constexpr int64_t kChannelsOffset = 22;       // 16-bit channel count; its low byte is read
constexpr int64_t kSampleRateOffset = 24;     // 32-bit sample frames per second
constexpr int64_t kBitsPerSampleOffset = 34;  // 16-bit bits per sample; its low byte is read
constexpr int64_t kChannelMaskOffset = 40;    // extensible files: 32-bit speaker positions
constexpr int64_t kSubFormatOffset = 44;      // extensible files: the sub-format GUID's first 2 bytes

}  // namespace sonaveld
