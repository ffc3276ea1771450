#include "marks/EmbeddedMarkers.h"

#include <algorithm>
#include <map>

#include "document/CueChunks.h"
#include "document/RiffChunks.h"

namespace sonaveld {
namespace {

// Chunks that hold markers are small; a larger one is passed over rather than held in memory.
constexpr int64_t kLargestMarkerChunk = int64_t{64} << 20;

// What the chunk walks found: the first cue chunk's points and the first label of each id.
struct Markers {
  bool sawCue = false;
  std::vector<CuePoint> points;
  std::map<uint32_t, std::string> labels;
};

// The text of a "labl" body after its cue id: up to its first zero byte.
std::string LabelText(const std::vector<uint8_t>& rest) {
  const auto end = std::find(rest.begin(), rest.end(), uint8_t{0});
  return std::string(rest.begin(), end);
}

// Reads the cue and adtl chunks among chunks into found; false on a read error.
bool Collect(ByteSource& source, const std::vector<RiffChunk>& chunks, Markers& found) {
  for (const RiffChunk& chunk : chunks) {
    const bool cue = chunk.Is("cue ") && !found.sawCue;
    if ((!cue && !chunk.IsList("adtl")) || chunk.size > kLargestMarkerChunk) continue;
    std::vector<uint8_t> body(static_cast<size_t>(chunk.size));
    if (source.ReadAt(chunk.Body(), body.data(), chunk.size) != chunk.size) return false;
    if (cue) {
      found.sawCue = true;
      found.points = ParseCuePoints(body.data(), body.size());
      continue;
    }
    for (const AdtlEntry& entry : ParseAdtl(body.data(), body.size())) {
      if (entry.id == MakeFourCC("labl")) found.labels.emplace(entry.cueId, LabelText(entry.rest));
    }
  }
  return true;
}

}  // namespace

Result<MarkSet> ReadEmbeddedMarkers(ByteSource& source, const WaveHeader& header, const std::string& path) {
  const Result<MarkSet> unreadable{Status::Fail(MessageId::kCannotRead, path), {}};
  Markers found;
  const ChunkWalk head = WalkChunks(source, 12, header.DataOffset - 8);
  if (head.readError || !Collect(source, head.chunks, found)) return unreadable;
  if (header.DataEnd < header.FileSize) {
    const int64_t begin = header.DataEnd + ((header.DataEnd - header.DataOffset) & 1);
    const ChunkWalk tail = WalkChunks(source, begin, source.Size());
    if (tail.readError || !Collect(source, tail.chunks, found)) return unreadable;
  }
  std::vector<NamedMark> marks;
  const int64_t frames = header.Frames();
  for (const CuePoint& point : found.points) {
    if (point.sampleOffset >= frames) continue;
    const auto label = found.labels.find(point.id);
    marks.push_back({int64_t{point.sampleOffset} + 1, label == found.labels.end() ? std::string() : label->second});
  }
  Result<std::vector<NamedMark>> tidy = TidyMarks(std::move(marks));
  if (!tidy.ok()) return {tidy.status, {}};
  MarkSet set;
  set.marks = std::move(tidy.value);
  return {Status::Ok(), std::move(set)};
}

Result<MarkSet> ReadEmbeddedMarkersFile(const std::string& wavePath, WaveHeader* header) {
  const auto source = FileSource::Open(wavePath);
  if (!source) return {Status::Fail(MessageId::kCannotOpen, wavePath), {}};
  const ProbeResult probe = ProbeWave(*source, wavePath);
  if (!probe.status.ok()) return {probe.status, {}};
  if (header != nullptr) *header = probe.header;
  return ReadEmbeddedMarkers(*source, probe.header, wavePath);
}

}  // namespace sonaveld
