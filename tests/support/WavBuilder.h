#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sonaveld::test {

// Builds WAV file images in memory for tests: a RIFF header, optional extra chunks before and
// after the data chunk, and samples generated in code.
struct WavRecipe {
  int channels = 2;
  int bits = 16;  // 8, 16, 24 or 32 (the container size of an extensible file)
  uint16_t formatTag = 1;     // 1: integer PCM, 3: IEEE float; the sub-format's tag when extensible
  bool extensible = false;    // a 40-byte WAVE_FORMAT_EXTENSIBLE "fmt " chunk (tag 0xFFFE)
  int64_t channelMask = -1;   // its speaker mask; -1: front left+right for stereo, else centre
  bool fact = false;          // a "fact" chunk holding the frame count, right after "fmt "
  int32_t rate = 44100;
  int64_t frames = 1000;
  std::vector<uint8_t> chunksBeforeData;  // whole chunks (id, size, body) placed after "fmt "
  std::vector<uint8_t> chunksAfterData;   // whole chunks appended after the data chunk
  int64_t dataSizeField = -1;             // value written into the data size field; -1: the true size
  // Sample value of (frame, channel); 16/24/32-bit values are signed, 8-bit values unsigned
  // (0..255). Integer files only.
  std::function<int(int64_t frame, int channel)> sample;
  // Sample value of (frame, channel) of a float file (formatTag 3), stored as a single-precision
  // float; empty: CountingFloat.
  std::function<float(int64_t frame, int channel)> floatSample;
};

std::vector<uint8_t> BuildWav(const WavRecipe& recipe);

// The RF64/BW64 form (magic "RF64" or "BW64") of a RIFF image whose first chunk is "fmt ": a ds64
// chunk inserted after "WAVE" with the true sizes, the RIFF and data size fields 0xFFFFFFFF.
// dataOffset: the RIFF image's first sample byte.
std::vector<uint8_t> MakeWide(const std::vector<uint8_t>& riff, size_t dataOffset, const char* magic = "RF64");

// A chunk: 4-byte id, little-endian size, body, padding byte when the body is odd.
std::vector<uint8_t> Chunk(const std::string& id, const std::vector<uint8_t>& body);

// A sample pattern that makes every byte position distinguishable (a counter mod prime).
int CountingSample(int64_t frame, int channel, int bits);
// The float counterpart: distinct values in -1..1.
float CountingFloat(int64_t frame, int channel);

void PutU16(std::vector<uint8_t>& bytes, size_t at, uint16_t value);
void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);

// A "cue " chunk of points (id, 0-based frame), position and sample offset both the frame.
std::vector<uint8_t> CueChunk(const std::vector<std::pair<uint32_t, uint32_t>>& points);
// The sample offsets of the points of the first "cue " chunk in a file image, read from the
// chunk's layout (libsndfile reads no cue points from RF64).
std::vector<uint32_t> CueOffsetsIn(const std::vector<uint8_t>& file);

// Writes bytes to path (whole file); fails the test when it cannot.
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFileBytes(const std::string& path);

}  // namespace sonaveld::test
