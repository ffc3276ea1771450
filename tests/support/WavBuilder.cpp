#include "support/WavBuilder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace sonaveld::test {

void PutU16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> Chunk(const std::string& id, const std::vector<uint8_t>& body) {
  std::vector<uint8_t> out(id.begin(), id.end());
  out.resize(8);
  PutU32(out, 4, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2 == 1) out.push_back(0);
  return out;
}

int CountingSample(int64_t frame, int channel, int bits) {
  const int64_t n = frame * 2 + channel;
  return bits == 16 ? static_cast<int>((n * 7919) % 65521) - 32768 : static_cast<int>((n * 31) % 251);
}

std::vector<uint8_t> BuildWav(const WavRecipe& recipe) {
  std::vector<uint8_t> fmt(16);
  const int blockAlign = recipe.channels * recipe.bits / 8;
  PutU16(fmt, 0, 1);
  PutU16(fmt, 2, static_cast<uint16_t>(recipe.channels));
  PutU32(fmt, 4, static_cast<uint32_t>(recipe.rate));
  PutU32(fmt, 8, static_cast<uint32_t>(recipe.rate * blockAlign));
  PutU16(fmt, 12, static_cast<uint16_t>(blockAlign));
  PutU16(fmt, 14, static_cast<uint16_t>(recipe.bits));

  std::vector<uint8_t> samples;
  samples.reserve(static_cast<size_t>(recipe.frames * blockAlign));
  for (int64_t f = 0; f < recipe.frames; ++f) {
    for (int c = 0; c < recipe.channels; ++c) {
      const int v = recipe.sample ? recipe.sample(f, c) : CountingSample(f, c, recipe.bits);
      samples.push_back(static_cast<uint8_t>(v));
      if (recipe.bits == 16) samples.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
    }
  }

  std::vector<uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  auto fmtChunk = Chunk("fmt ", fmt);
  out.insert(out.end(), fmtChunk.begin(), fmtChunk.end());
  out.insert(out.end(), recipe.chunksBeforeData.begin(), recipe.chunksBeforeData.end());
  const size_t dataHeader = out.size();
  out.insert(out.end(), {'d', 'a', 't', 'a', 0, 0, 0, 0});
  PutU32(out, dataHeader + 4,
         static_cast<uint32_t>(recipe.dataSizeField >= 0 ? recipe.dataSizeField : static_cast<int64_t>(samples.size())));
  out.insert(out.end(), samples.begin(), samples.end());
  if (samples.size() % 2 == 1 && !recipe.chunksAfterData.empty()) out.push_back(0);
  out.insert(out.end(), recipe.chunksAfterData.begin(), recipe.chunksAfterData.end());
  PutU32(out, 4, static_cast<uint32_t>(out.size() - 8));
  return out;
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace sonaveld::test
