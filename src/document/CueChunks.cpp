#include "document/CueChunks.h"

#include <algorithm>
#include <cstring>

#include "document/LittleEndian.h"

namespace sonaveld {
namespace {

constexpr size_t kCuePointBytes = 24;

void AppendFourCC(std::vector<uint8_t>& bytes, const FourCC& id) {
  for (const char c : id) bytes.push_back(static_cast<uint8_t>(c));
}

}  // namespace

AdtlEntry AdtlEntry::Label(uint32_t cueId, std::string_view text) {
  AdtlEntry entry{MakeFourCC("labl"), cueId, {text.begin(), text.end()}};
  entry.rest.push_back(0);
  return entry;
}

uint32_t AdtlEntry::RegionLength() const { return HasRegion() ? LoadU32(rest.data()) : 0; }

void AdtlEntry::SetRegionLength(uint32_t frames) {
  if (HasRegion()) StoreU32(rest.data(), frames);
}

std::vector<CuePoint> ParseCuePoints(const uint8_t* body, size_t size) {
  std::vector<CuePoint> points;
  if (size < 4) return points;
  const size_t count = std::min<size_t>(LoadU32(body), (size - 4) / kCuePointBytes);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = body + 4 + i * kCuePointBytes;
    CuePoint point{LoadU32(p), LoadU32(p + 4), {}, LoadU32(p + 12), LoadU32(p + 16), LoadU32(p + 20)};
    std::memcpy(point.chunk.data(), p + 8, 4);
    points.push_back(point);
  }
  return points;
}

std::vector<AdtlEntry> ParseAdtl(const uint8_t* body, size_t size) {
  std::vector<AdtlEntry> entries;
  for (size_t at = 4; at + 8 <= size;) {
    const size_t length = LoadU32(body + at + 4);
    if (length > size - at - 8) break;
    if (length >= 4) {
      const uint8_t* sub = body + at + 8;
      AdtlEntry entry{{}, LoadU32(sub), {sub + 4, sub + length}};
      std::memcpy(entry.id.data(), body + at, 4);
      entries.push_back(std::move(entry));
    }
    at += 8 + length + (length & 1);
  }
  return entries;
}

std::vector<uint8_t> BuildCueChunk(const std::vector<CuePoint>& points) {
  std::vector<uint8_t> body;
  AppendU32(body, static_cast<uint32_t>(points.size()));
  for (const CuePoint& p : points) {
    AppendU32(body, p.id);
    AppendU32(body, p.position);
    AppendFourCC(body, p.chunk);
    AppendU32(body, p.chunkStart);
    AppendU32(body, p.blockStart);
    AppendU32(body, p.sampleOffset);
  }
  return BuildChunk(MakeFourCC("cue "), body);
}

std::vector<uint8_t> BuildAdtlChunk(const std::vector<AdtlEntry>& entries) {
  std::vector<uint8_t> body;
  AppendFourCC(body, MakeFourCC("adtl"));
  for (const AdtlEntry& e : entries) {
    std::vector<uint8_t> sub;
    AppendU32(sub, e.cueId);
    sub.insert(sub.end(), e.rest.begin(), e.rest.end());
    const std::vector<uint8_t> chunk = BuildChunk(e.id, sub);
    body.insert(body.end(), chunk.begin(), chunk.end());
  }
  return BuildChunk(MakeFourCC("LIST"), body);
}

}  // namespace sonaveld
