#include "support/WavBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
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
  switch (bits) {
    case 16: return static_cast<int>((n * 7919) % 65521) - 32768;
    case 24: return static_cast<int>((n * 7919 * 257) % 16777213) - 8388608;
    case 32: return static_cast<int>((n * 7919LL * 65537) % 4294967291LL - 2147483648LL);
    default: return static_cast<int>((n * 31) % 251);
  }
}

float CountingFloat(int64_t frame, int channel) {
  const int64_t n = frame * 2 + channel;
  return static_cast<float>((n * 7919) % 65521 - 32760) / 32768.0f;
}

namespace {

// The body of the "fmt " chunk: 16 bytes, or 40 for an extensible file.
std::vector<uint8_t> FormatBody(const WavRecipe& recipe) {
  const int blockAlign = recipe.channels * recipe.bits / 8;
  std::vector<uint8_t> fmt(recipe.extensible ? 40 : 16);
  PutU16(fmt, 0, recipe.extensible ? 0xFFFE : recipe.formatTag);
  PutU16(fmt, 2, static_cast<uint16_t>(recipe.channels));
  PutU32(fmt, 4, static_cast<uint32_t>(recipe.rate));
  PutU32(fmt, 8, static_cast<uint32_t>(recipe.rate * blockAlign));
  PutU16(fmt, 12, static_cast<uint16_t>(blockAlign));
  PutU16(fmt, 14, static_cast<uint16_t>(recipe.bits));
  if (recipe.extensible) {
    static const uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                          0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    PutU16(fmt, 16, 22);                                         // size of the extension
    PutU16(fmt, 18, static_cast<uint16_t>(recipe.bits));         // valid bits
    const uint32_t speakers = recipe.channels == 2 ? 3u : 4u;  // front left+right, or centre
    PutU32(fmt, 20, recipe.channelMask < 0 ? speakers : static_cast<uint32_t>(recipe.channelMask));
    PutU16(fmt, 24, recipe.formatTag);                           // the sub-format GUID's tag
    std::copy(std::begin(kGuidTail), std::end(kGuidTail), fmt.begin() + 26);
  }
  return fmt;
}

void PutSample(std::vector<uint8_t>& samples, const WavRecipe& recipe, int64_t f, int c) {
  if (recipe.formatTag == 3) {
    const float x = recipe.floatSample ? recipe.floatSample(f, c) : CountingFloat(f, c);
    uint32_t bits = 0;
    std::memcpy(&bits, &x, 4);
    for (int i = 0; i < 4; ++i) samples.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    return;
  }
  const int v = recipe.sample ? recipe.sample(f, c) : CountingSample(f, c, recipe.bits);
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < recipe.bits / 8; ++i) samples.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> BuildWav(const WavRecipe& recipe) {
  const std::vector<uint8_t> fmt = FormatBody(recipe);
  const int blockAlign = recipe.channels * recipe.bits / 8;
  std::vector<uint8_t> samples;
  samples.reserve(static_cast<size_t>(recipe.frames * blockAlign));
  for (int64_t f = 0; f < recipe.frames; ++f) {
    for (int c = 0; c < recipe.channels; ++c) PutSample(samples, recipe, f, c);
  }

  std::vector<uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  auto fmtChunk = Chunk("fmt ", fmt);
  out.insert(out.end(), fmtChunk.begin(), fmtChunk.end());
  if (recipe.fact) {
    std::vector<uint8_t> count(4);
    PutU32(count, 0, static_cast<uint32_t>(recipe.frames));
    const auto factChunk = Chunk("fact", count);
    out.insert(out.end(), factChunk.begin(), factChunk.end());
  }
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

std::vector<uint8_t> MakeWide(const std::vector<uint8_t>& riff, size_t dataOffset, const char* magic) {
  const uint32_t dataSize = uint32_t(riff[dataOffset - 4]) | uint32_t(riff[dataOffset - 3]) << 8 |
                            uint32_t(riff[dataOffset - 2]) << 16 | uint32_t(riff[dataOffset - 1]) << 24;
  std::vector<uint8_t> ds64(36, 0);
  std::copy_n("ds64", 4, ds64.begin());
  PutU32(ds64, 4, 28);
  const unsigned blockAlign = std::max(1u, unsigned(riff[32]) | unsigned(riff[33]) << 8);
  const uint64_t values[3] = {riff.size() + 36 - 8, dataSize, dataSize / blockAlign};
  for (int v = 0; v < 3; ++v) {
    PutU32(ds64, 8 + 8 * v, static_cast<uint32_t>(values[v]));
    PutU32(ds64, 12 + 8 * v, static_cast<uint32_t>(values[v] >> 32));
  }
  std::vector<uint8_t> wide(riff.begin(), riff.begin() + 12);
  std::copy_n(magic, 4, wide.begin());
  PutU32(wide, 4, 0xFFFFFFFF);
  wide.insert(wide.end(), ds64.begin(), ds64.end());
  wide.insert(wide.end(), riff.begin() + 12, riff.end());
  PutU32(wide, dataOffset + 36 - 4, 0xFFFFFFFF);
  return wide;
}

std::vector<uint32_t> CueOffsetsIn(const std::vector<uint8_t>& file) {
  auto u32 = [&](size_t at) {
    return uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 | uint32_t(file[at + 2]) << 16 | uint32_t(file[at + 3]) << 24;
  };
  const char tag[] = "cue ";
  const auto at = std::search(file.begin(), file.end(), tag, tag + 4);
  std::vector<uint32_t> offsets;
  if (at == file.end()) return offsets;
  const auto body = static_cast<size_t>(at - file.begin()) + 8;
  for (uint32_t i = 0; i < u32(body); ++i) offsets.push_back(u32(body + 4 + 24 * i + 20));
  return offsets;
}

std::vector<uint8_t> CueChunk(const std::vector<std::pair<uint32_t, uint32_t>>& points) {
  std::vector<uint8_t> body(4 + 24 * points.size(), 0);
  PutU32(body, 0, static_cast<uint32_t>(points.size()));
  for (size_t i = 0; i < points.size(); ++i) {
    PutU32(body, 4 + 24 * i, points[i].first);
    PutU32(body, 8 + 24 * i, points[i].second);
    std::memcpy(body.data() + 12 + 24 * i, "data", 4);
    PutU32(body, 24 + 24 * i, points[i].second);
  }
  return Chunk("cue ", body);
}

}  // namespace sonaveld::test
