#include "output/OutputChunks.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "document/BroadcastTime.h"
#include "output/InfoTitle.h"
#include "document/LittleEndian.h"
#include "document/WaveContainer.h"

namespace sonaveld {
namespace {

using Held = OutputChunks::Held;
using Bytes = std::vector<uint8_t>;

// Bodies of chunks to rebuild or edit are read whole; none that holds markers or a time code comes
// near this size, and a larger one is left out rather than held in memory.
constexpr int64_t kLargestEditedChunk = int64_t{64} << 20;

// Source frames [first, first + count), 0-based, copied into an output one after another.
struct FrameStretch {
  int64_t first = 0;
  int64_t count = 0;
};

// What an output's rebuilt chunks are made from.
struct OutputFrames {
  uint64_t timeReference = 0;          // of the output's first sample
  std::vector<FrameStretch> stretches;  // in output order
  std::vector<CuePoint> kept;           // the source's cue points that the output holds, as they were
  std::string title;                    // the name of a named piece; "" otherwise
};

// True when the output holds the chunk as the source has it.
bool CopiedAsIs(const Held& held, const OutputFrames& frames) {
  return held.rule == ChunkRule::kCopy || (held.rule == ChunkRule::kInfoTitle && frames.title.empty());
}

std::string_view Text(const Bytes& bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

void Append(Bytes& to, const uint8_t* begin, const uint8_t* end) { to.insert(to.end(), begin, end); }

// The 0-based frame of the output that source frame f becomes; nullopt when the output does not hold it.
std::optional<int64_t> OutputFrameOf(const std::vector<FrameStretch>& stretches, int64_t f) {
  int64_t base = 0;
  for (const FrameStretch& s : stretches) {
    if (f >= s.first && f - s.first < s.count) return base + f - s.first;
    base += s.count;
  }
  return std::nullopt;
}

// How many of the source frames [from, from + length) the output holds.
int64_t FramesHeld(const std::vector<FrameStretch>& stretches, int64_t from, int64_t length) {
  int64_t held = 0;
  for (const FrameStretch& s : stretches) {
    held += std::max<int64_t>(0, std::min(s.first + s.count, from + length) - std::max(s.first, from));
  }
  return held;
}

// The cue points of held as the output has them: those it holds, at their output frames; a
// position that equalled the frame follows it.
std::vector<CuePoint> KeptPoints(const Held& held, const OutputFrames& frames) {
  std::vector<CuePoint> points;
  for (const CuePoint& p : held.points) {
    const std::optional<int64_t> at = OutputFrameOf(frames.stretches, p.sampleOffset);
    if (!at) continue;
    CuePoint moved = p;
    moved.sampleOffset = static_cast<uint32_t>(*at);
    if (p.position == p.sampleOffset) moved.position = moved.sampleOffset;
    points.push_back(moved);
  }
  return points;
}

// The adtl entries of the points kept, in source order; a region is cut to what the output holds.
std::vector<AdtlEntry> KeptEntries(const Held& held, const OutputFrames& frames) {
  std::vector<AdtlEntry> entries;
  for (AdtlEntry e : held.entries) {
    const auto point =
        std::find_if(frames.kept.begin(), frames.kept.end(), [&](const CuePoint& p) { return p.id == e.cueId; });
    if (point == frames.kept.end()) continue;
    e.SetRegionLength(static_cast<uint32_t>(FramesHeld(frames.stretches, point->sampleOffset, e.RegionLength())));
    entries.push_back(std::move(e));
  }
  return entries;
}

// The bytes of a chunk that its rule edits or rebuilds, for this output; empty: left out.
Bytes Rebuilt(const Held& held, const OutputFrames& frames) {
  switch (held.rule) {
    case ChunkRule::kTimeReference: {
      Bytes body = held.body;
      SetBextTimeReference(body.data(), body.size(), frames.timeReference);
      return BuildChunk(held.chunk.id, body);
    }
    case ChunkRule::kIxmlTime: {
      const std::string text = SetIxmlTimeReference(Text(held.body), frames.timeReference);
      return BuildChunk(held.chunk.id, Bytes(text.begin(), text.end()));
    }
    case ChunkRule::kCuePoints: {
      const std::vector<CuePoint> points = KeptPoints(held, frames);
      return points.empty() ? Bytes{} : BuildCueChunk(points);
    }
    case ChunkRule::kCueTexts: {
      const std::vector<AdtlEntry> entries = KeptEntries(held, frames);
      return entries.empty() ? Bytes{} : BuildAdtlChunk(entries);
    }
    case ChunkRule::kInfoTitle: return InfoWithTitle(held.body.data(), held.body.size(), frames.title);
    case ChunkRule::kCopy:
    case ChunkRule::kDrop: break;
  }
  return {};
}

// Keeps chunk with what its rule needs of it (read from source); a chunk left out is not kept.
// False on a read error.
bool Hold(ByteSource& source, const RiffChunk& chunk, bool afterData, int64_t limit, std::vector<Held>& into) {
  Held held{chunk, RuleFor(chunk, afterData), {}, {}, {}, chunk.Next() > limit};
  if (held.rule == ChunkRule::kDrop) return true;
  if (held.rule != ChunkRule::kCopy) {
    // An INFO list that large is carried as it is, untitled, rather than lost.
    if (chunk.size > kLargestEditedChunk && held.rule == ChunkRule::kInfoTitle) held.rule = ChunkRule::kCopy;
    if (chunk.size > kLargestEditedChunk && held.rule != ChunkRule::kCopy) return true;
  }
  if (held.rule != ChunkRule::kCopy) {
    Bytes body(static_cast<size_t>(chunk.size));
    if (source.ReadAt(chunk.Body(), body.data(), chunk.size) != chunk.size) return false;
    if (held.rule == ChunkRule::kCuePoints) held.points = ParseCuePoints(body.data(), body.size());
    if (held.rule == ChunkRule::kCueTexts) held.entries = ParseAdtl(body.data(), body.size());
    held.body = std::move(body);
  }
  into.push_back(std::move(held));
  return true;
}

// The source's time reference: that of its first bext chunk, else of its first iXML chunk, else 0.
uint64_t SourceTimeReference(const std::vector<Held>& before, const std::vector<Held>& after) {
  std::optional<uint64_t> fromIxml;
  for (const std::vector<Held>* chunks : {&before, &after}) {
    for (const Held& held : *chunks) {
      if (held.rule == ChunkRule::kTimeReference) {
        if (auto reference = BextTimeReference(held.body.data(), held.body.size())) return *reference;
      }
      if (held.rule == ChunkRule::kIxmlTime && !fromIxml) fromIxml = IxmlTimeReference(Text(held.body));
    }
  }
  return fromIxml.value_or(0);
}

// The frames an output of the stretches copied holds, and the cue points among them.
OutputFrames FramesOf(const std::vector<ByteStretch>& copied, const std::string& title, const WaveHeader& header,
                      uint64_t sourceReference, const std::vector<Held>& before, const std::vector<Held>& after) {
  OutputFrames frames;
  frames.timeReference = sourceReference;
  frames.title = title;
  const int frameBytes = header.FrameSize();
  if (frameBytes == 0) return frames;
  for (const ByteStretch& s : copied) {
    frames.stretches.push_back({(s.begin - header.DataOffset) / frameBytes, s.length / frameBytes});
  }
  // The first sample is the first one copied; an output of no samples keeps the source's time.
  const auto first = std::find_if(frames.stretches.begin(), frames.stretches.end(), [](auto& s) { return s.count > 0; });
  if (first != frames.stretches.end()) frames.timeReference += static_cast<uint64_t>(first->first);
  for (const std::vector<Held>* chunks : {&before, &after}) {
    for (const Held& held : *chunks) {
      for (const CuePoint& p : held.points) {
        if (OutputFrameOf(frames.stretches, p.sampleOffset)) frames.kept.push_back(p);
      }
    }
  }
  return frames;
}

// Makes bytes, which start with a source's first 12 bytes, the start of an output of this form:
// "RIFF" (its size set later), or "RF64", size 0xFFFFFFFF, "WAVE" and a zeroed "ds64" chunk after
// them, unless the bytes hold the source's own "ds64" there already.
void ReplaceForm(Bytes& bytes, bool wide) {
  std::memcpy(bytes.data(), wide ? "RF64" : "RIFF", 4);
  if (!wide) return;
  StoreU32(bytes.data() + 4, kSizeInDs64);
  if (bytes.size() >= 16 && std::memcmp(bytes.data() + 12, "ds64", 4) == 0) return;
  const Bytes ds64 = BuildChunk(MakeFourCC("ds64"), Bytes(kDs64ChunkBytes - 8));
  bytes.insert(bytes.begin() + 12, ds64.begin(), ds64.end());
}

}  // namespace

Status OutputChunks::Read(ByteSource& source, int64_t fileSize, const WaveHeader& header, const std::string& path) {
  const Status unreadable = Status::Fail(MessageId::kCannotRead, path);
  header_ = header;
  sourceHeader_.resize(static_cast<size_t>(header.DataOffset));
  if (source.ReadAt(0, sourceHeader_.data(), header.DataOffset) != header.DataOffset) return unreadable;
  MemorySource bytes(sourceHeader_);
  const int64_t dataTag = header.DataOffset - 8;
  const ChunkWalk walk = WalkChunks(bytes, 12, dataTag);
  walkable_ = walk.next == dataTag;
  for (const RiffChunk& chunk : walk.chunks) {
    // A wide source's sizes are rebuilt with the output's own form.
    if (IsWide(header.Container) && chunk.Is("ds64")) continue;
    if (walkable_) Hold(bytes, chunk, false, dataTag, before_);
  }
  if (header.DataEnd < header.FileSize) {
    const int64_t begin = header.DataEnd + ((header.DataEnd - header.DataOffset) & 1);
    const ChunkWalk tail = WalkChunks(source, begin, fileSize);
    if (tail.readError) return unreadable;
    for (const RiffChunk& chunk : tail.chunks) {
      if (!Hold(source, chunk, true, fileSize, after_)) return unreadable;
    }
  }
  timeReference_ = SourceTimeReference(before_, after_);
  return Status::Ok();
}

std::vector<CuePoint> OutputChunks::CuePoints() const {
  std::vector<CuePoint> points;
  for (const std::vector<Held>* chunks : {&before_, &after_}) {
    for (const Held& held : *chunks) points.insert(points.end(), held.points.begin(), held.points.end());
  }
  return points;
}

std::vector<AdtlEntry> OutputChunks::CueTexts() const {
  std::vector<AdtlEntry> entries;
  for (const std::vector<Held>* chunks : {&before_, &after_}) {
    for (const Held& held : *chunks) entries.insert(entries.end(), held.entries.begin(), held.entries.end());
  }
  return entries;
}

void OutputChunks::SetCues(std::vector<CuePoint> points, std::vector<AdtlEntry> entries) {
  bool pointsPlaced = false;
  bool entriesPlaced = false;
  for (std::vector<Held>* chunks : {&before_, &after_}) {
    for (Held& held : *chunks) {
      if (held.rule == ChunkRule::kCuePoints) {
        held.points = pointsPlaced ? std::vector<CuePoint>{} : points;
        pointsPlaced = true;
      } else if (held.rule == ChunkRule::kCueTexts) {
        held.entries = entriesPlaced ? std::vector<AdtlEntry>{} : entries;
        entriesPlaced = true;
      }
    }
  }
  if (!pointsPlaced && !points.empty()) {
    Held held{{MakeFourCC("cue "), 0, 0, {}}, ChunkRule::kCuePoints, {}, std::move(points), {}, false};
    after_.push_back(std::move(held));
  }
  if (!entriesPlaced && !entries.empty()) {
    Held held{{MakeFourCC("LIST"), 0, 0, MakeFourCC("adtl")}, ChunkRule::kCueTexts, {}, {}, std::move(entries), false};
    after_.push_back(std::move(held));
  }
}

OutputHeader OutputChunks::Header(const std::vector<ByteStretch>& copied, const std::string& title, int64_t fillTo,
                                  bool wide) const {
  OutputHeader out;
  out.wide = wide;
  if (!walkable_) {
    out.bytes = sourceHeader_;
    if (wide || IsWide(header_.Container)) ReplaceForm(out.bytes, wide);
    return out;
  }
  const OutputFrames frames = FramesOf(copied, title, header_, timeReference_, before_, after_);
  const uint8_t* source = sourceHeader_.data();
  Append(out.bytes, source, source + 12);
  if (wide || IsWide(header_.Container)) ReplaceForm(out.bytes, wide);
  for (const Held& held : before_) {
    if (CopiedAsIs(held, frames)) {
      Append(out.bytes, source + held.chunk.offset, source + held.chunk.Next());
    } else {
      const Bytes chunk = Rebuilt(held, frames);
      Append(out.bytes, chunk.data(), chunk.data() + chunk.size());
    }
  }
  const int64_t filler = fillTo - out.DataOffset() - 8;
  if (filler >= 8 && filler % 2 == 0) {
    const Bytes junk = BuildChunk(MakeFourCC("JUNK"), Bytes(static_cast<size_t>(filler - 8)));
    Append(out.bytes, junk.data(), junk.data() + junk.size());
  }
  Append(out.bytes, source + header_.DataOffset - 8, source + header_.DataOffset);
  return out;
}

bool OutputChunks::HoldsInfo() const {
  for (const std::vector<Held>* chunks : {&before_, &after_}) {
    for (const Held& held : *chunks) {
      if (held.rule == ChunkRule::kInfoTitle) return true;
    }
  }
  return false;
}

std::vector<TrailingPiece> OutputChunks::Trailing(const std::vector<ByteStretch>& copied,
                                                  const std::string& title) const {
  const OutputFrames frames = FramesOf(copied, title, header_, timeReference_, before_, after_);
  std::vector<TrailingPiece> pieces;
  for (const Held& held : after_) {
    if (!CopiedAsIs(held, frames)) {
      if (Bytes chunk = Rebuilt(held, frames); !chunk.empty()) pieces.push_back({{}, std::move(chunk)});
      continue;
    }
    const int64_t end = held.padMissing ? held.chunk.End() : held.chunk.Next();
    pieces.push_back({{held.chunk.offset, end - held.chunk.offset}, {}});
    if (held.padMissing) pieces.push_back({{}, {0}});
  }
  if (!title.empty() && !HoldsInfo()) pieces.push_back({{}, InfoList(title)});
  return pieces;
}

}  // namespace sonaveld
