#include "OutputModel.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "document/BroadcastTime.h"
#include "document/CueChunks.h"

namespace sonaveld::check {
namespace {

using Wide = __int128;  // positions: a 64-bit mark times a frame size cannot overflow this

constexpr int64_t kChunk = 200;

// A byte of the image; beyond the end reads as 0, like the engine's little-endian readers.
uint8_t At(const Bytes& file, int64_t i) { return i >= 0 && i < static_cast<int64_t>(file.size()) ? file[i] : 0; }

uint32_t U32(const Bytes& file, int64_t i) {
  return static_cast<uint32_t>(At(file, i)) | static_cast<uint32_t>(At(file, i + 1)) << 8 |
         static_cast<uint32_t>(At(file, i + 2)) << 16 | static_cast<uint32_t>(At(file, i + 3)) << 24;
}

bool TagAt(const Bytes& file, int64_t i) {
  return i >= 0 && i + 4 <= static_cast<int64_t>(file.size()) && std::memcmp(&file[i], "data", 4) == 0;
}

// The data chunk whose 4-byte tag stands at tag: samples from tag + 8, for the size field's count
// of bytes when that is above 0 and fits in the file, else to the end of the file.
// In RF64/BW64 a size field of 0xFFFFFFFF stands for ds64's data size (bytes 28..35).
void TakeChunk(const Bytes& file, int64_t tag, ModelHeader* h) {
  const int64_t size = static_cast<int64_t>(file.size());
  h->dataOffset = tag + 8;
  int64_t declared = U32(file, tag + 4);
  if (h->wideForm && h->ds64 && declared == 0xFFFFFFFF) {
    const uint64_t wide = U32(file, 28) | uint64_t{U32(file, 32)} << 32;
    declared = wide > uint64_t{INT64_MAX} ? 0 : static_cast<int64_t>(wide);
  }
  h->sized = declared > 0 && declared <= size - h->dataOffset;
  h->dataEnd = h->sized ? h->dataOffset + declared : size;
}

bool IdAt(const Bytes& file, int64_t i, const char* id) {
  return i + 4 <= static_cast<int64_t>(file.size()) && std::memcmp(&file[i], id, 4) == 0;
}

uint16_t U16(const Bytes& file, int64_t i) { return static_cast<uint16_t>(At(file, i) | At(file, i + 1) << 8); }

// The tag that describes 24/32-bit samples: the format tag at byte 20, or for the extensible tag
// the sub-format's at byte 44 when the format chunk (size at byte 16) holds at least 40 bytes.
int SampleTag(const Bytes& file, int64_t shift) {
  const int tag = U16(file, 20 + shift);
  if (tag != 0xFFFE) return tag;
  return U32(file, 16 + shift) >= 40 ? U16(file, 44 + shift) : -1;
}

// RF64/BW64: how far the first "fmt " chunk (among the first 64 of the walk from byte 12) stands
// from byte 12; 0 without one.
int64_t FormatShift(const Bytes& file) {
  int64_t at = 12;
  for (int i = 0; i < 64 && at + 8 <= static_cast<int64_t>(file.size()); ++i) {
    if (IdAt(file, at, "fmt ")) return at - 12;
    const int64_t body = U32(file, at + 4);
    at += 8 + body + body % 2;
  }
  return 0;
}

// Patches a little-endian 32-bit value into an image.
void Put32(Bytes& out, int64_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Where the frame count of the first "fact" chunk stands: the chunk walk from byte 12 over the
// chunks that come before the data chunk's tag; -1 when it meets "data" first or when the fact
// chunk's first four body bytes do not lie wholly before that tag.
int64_t FactCount(const Bytes& file, int64_t dataOffset) {
  const Wide dataTag = dataOffset - 8;
  for (Wide at = 12; at + 8 <= dataTag;) {
    const auto i = static_cast<int64_t>(at);
    if (IdAt(file, i, "data")) return -1;
    const Wide body = U32(file, i + 4);
    if (IdAt(file, i, "fact")) return body >= 4 && at + 12 <= dataTag ? i + 8 : -1;
    at += 8 + body + body % 2;
  }
  return -1;
}

// Appends up to one chunk of the sample area at pos (fewer bytes where the area ends); returns the
// count, like the specified 200-byte read.
int64_t ReadChunk(const Bytes& file, const ModelHeader& h, Wide pos, ModelOutput* out) {
  if (pos >= h.dataEnd) return 0;
  const int64_t at = static_cast<int64_t>(pos);
  const int64_t r = std::min<int64_t>(kChunk, h.dataEnd - at);
  out->Append(file, at, r);
  return r;
}

// CopyRange: from the start byte, whole chunks (at most K = L div 200 of them unless the range
// runs to the implied end), ending early at the one short read.
void CopyRange(const Bytes& file, const ModelHeader& h, int64_t start, int64_t end, bool toEnd, ModelOutput* out) {
  Wide pos = h.dataOffset + (Wide(start) - 1) * h.frameBytes;
  const Wide length = (Wide(end) - start) * h.frameBytes;
  const Wide chunks = length / kChunk;  // truncates toward zero; a negative length copies nothing
  for (Wide k = 0; toEnd || k < chunks; ++k) {
    if (ReadChunk(file, h, pos, out) != kChunk) return;
    pos += kChunk;
  }
}

// Appends the frame whose first byte is at.
void AppendFrame(const Bytes& file, const ModelHeader& h, Wide at, ModelOutput* out) {
  out->Append(file, static_cast<int64_t>(at), h.frameBytes);
}

// A range of a file that cuts on frames: frame after frame from start up to end, or up to the last
// whole frame for a range to the implied end; no frame that does not lie wholly in the sample area.
void CopyFrames(const Bytes& file, const ModelHeader& h, int64_t start, int64_t end, bool toEnd, ModelOutput* out) {
  for (Wide f = start; toEnd || f < end; ++f) {
    const Wide at = h.dataOffset + (f - 1) * h.frameBytes;
    if (at + h.frameBytes > h.dataEnd) return;
    AppendFrame(file, h, at, out);
  }
}

void CopyAny(const Bytes& file, const ModelHeader& h, int64_t start, int64_t end, bool toEnd, ModelOutput* out) {
  if (h.cutsOnFrames) CopyFrames(file, h, start, end, toEnd, out);
  else CopyRange(file, h, start, end, toEnd, out);
}

struct Range {
  int64_t start, end;
  bool toEnd;
};

// The pairing table: keep head off pairs P1..Pn from P1, keep head on from frame 1; an odd count
// of range ends takes the implied end position as the last end.
std::vector<Range> Pairing(const std::vector<int64_t>& marks, bool keepHead) {
  std::vector<int64_t> ends;
  if (keepHead) ends.push_back(1);
  ends.insert(ends.end(), marks.begin(), marks.end());
  std::vector<Range> ranges;
  size_t i = 0;
  for (; i + 1 < ends.size(); i += 2) ranges.push_back({ends[i], ends[i + 1], false});
  if (i < ends.size()) ranges.push_back({ends[i], 0, true});
  return ranges;
}

}  // namespace

ModelHeader ModelProbe(const Bytes& file, int firstTag, int lastTag) {
  ModelHeader h;
  const int64_t size = static_cast<int64_t>(file.size());
  h.wideForm = IdAt(file, 0, "RF64") || IdAt(file, 0, "BW64");
  h.ds64 = h.wideForm && size >= 44 && IdAt(file, 12, "ds64") && U32(file, 16) >= 24;
  const int64_t shift = h.wideForm ? FormatShift(file) : 0;
  h.channels = At(file, 22 + shift);
  h.bits = At(file, 34 + shift);
  h.rate = static_cast<int32_t>(U32(file, 24 + shift));
  bool found = false;
  for (int64_t at = 12; at + 8 <= size && !found;) {
    if (TagAt(file, at)) {
      TakeChunk(file, at, &h);
      found = true;
    }
    const int64_t body = U32(file, at + 4);
    at += 8 + body + body % 2;
  }
  for (int64_t p = lastTag; p >= firstTag && !found; --p) {
    if (p + 8 <= size && TagAt(file, p)) {
      TakeChunk(file, p, &h);
      found = true;
    }
  }
  const int tag = SampleTag(file, shift);
  const bool wide = (tag == 1 && (h.bits == 24 || h.bits == 32)) || (tag == 3 && h.bits == 32);
  const bool bitsOk = h.bits == 8 || h.bits == 16 || wide;
  const bool channelsOk = h.channels >= 1 && h.channels <= 8;
  h.accepted = bitsOk && channelsOk && h.rate > 0 && found;
  if (h.accepted) {
    h.frameBytes = h.channels * h.bits / 8;
    h.cutsOnFrames = h.bits >= 24 || h.channels > 2;
    h.isFloat = h.bits == 32 && tag == 3;
  }
  return h;
}

ModelHeader Exactly(ModelHeader h, bool exact) {
  h.cutsOnFrames = h.cutsOnFrames || (exact && h.accepted);
  return h;
}

void ModelOutput::Append(const Bytes& file, int64_t at, int64_t n) {
  samples.insert(samples.end(), file.begin() + at, file.begin() + at + n);
  if (!runs.empty() && runs.back().first + runs.back().second == at) {
    runs.back().second += n;
  } else {
    runs.emplace_back(at, n);
  }
}

ModelOutput ModelOutput::Prefix(size_t n) const {
  ModelOutput prefix;
  int64_t left = static_cast<int64_t>(std::min(n, samples.size()));
  prefix.samples.assign(samples.begin(), samples.begin() + left);
  for (auto [at, length] : runs) {
    if (left > 0) prefix.runs.emplace_back(at, std::min(length, left));
    left -= std::min(length, left);
  }
  return prefix;
}

Outputs ModelCutEdited(const Bytes& file, const ModelHeader& header, const std::vector<int64_t>& marks, bool keepHead,
                       bool exact) {
  const ModelHeader h = Exactly(header, exact);
  ModelOutput out;
  for (const Range& r : Pairing(marks, keepHead)) CopyAny(file, h, r.start, r.end, r.toEnd, &out);
  return {out};
}

Outputs ModelSplitRanges(const Bytes& file, const ModelHeader& header, const std::vector<int64_t>& marks,
                         bool keepHead, bool exact) {
  const ModelHeader h = Exactly(header, exact);
  Outputs outputs;
  for (const Range& r : Pairing(marks, keepHead)) {
    outputs.emplace_back();
    CopyAny(file, h, r.start, r.end, r.toEnd, &outputs.back());
  }
  return outputs;
}

Outputs ModelSplitAtMarks(const Bytes& file, const ModelHeader& header, const std::vector<int64_t>& marks, bool exact) {
  const ModelHeader h = Exactly(header, exact);
  if (h.cutsOnFrames) {
    Outputs pieces(marks.size() + 1);
    Wide f = 1;
    for (Wide at = h.dataOffset; at + h.frameBytes <= h.dataEnd; at += h.frameBytes, ++f) {
      const auto piece = std::count_if(marks.begin(), marks.end(), [f](int64_t m) { return m <= f; });
      AppendFrame(file, h, at, &pieces[static_cast<size_t>(piece)]);
    }
    return pieces;
  }
  // The loop over the chunk grid: after each full chunk, the piece ends when the boundary of the
  // next mark not yet passed lies at or before that chunk's start byte. The implied end position
  // comes after the last mark and lies beyond every chunk.
  Outputs pieces(1);
  size_t passed = 0;
  for (Wide pos = h.dataOffset;; pos += kChunk) {
    if (ReadChunk(file, h, pos, &pieces.back()) != kChunk) break;
    if (h.frameBytes == 0 || passed >= marks.size()) continue;
    const Wide boundary = h.dataOffset + (Wide(marks[passed]) - 1) * h.frameBytes;
    if (boundary <= pos) {
      ++passed;
      pieces.emplace_back();
    }
  }
  return pieces;
}

namespace {

// A chunk of the walk: where its id stands and its size field.
struct Seen {
  int64_t at;
  int64_t size;
};

std::string IdOf(const Bytes& file, int64_t at) { return std::string(file.begin() + at, file.begin() + at + 4); }

// The chunks from at whose header and body end by limit; *next: where the walk stopped.
std::vector<Seen> Walk(const Bytes& file, int64_t at, int64_t limit, int64_t* next) {
  std::vector<Seen> chunks;
  while (at + 8 <= limit && at + 8 + int64_t{U32(file, at + 4)} <= limit) {
    chunks.push_back({at, U32(file, at + 4)});
    at += 8 + chunks.back().size + chunks.back().size % 2;
  }
  *next = at;
  return chunks;
}

enum class Rule { kCopy, kDrop, kBext, kIxml, kCue, kAdtl };

Rule RuleOf(const Bytes& file, const Seen& c, bool afterData) {
  const std::string id = IdOf(file, c.at);
  const std::string list = id == "LIST" && c.size >= 4 ? IdOf(file, c.at + 8) : "";
  if (id == "bext") return Rule::kBext;
  if (id == "iXML") return Rule::kIxml;
  if (id == "cue ") return Rule::kCue;
  if (list == "adtl") return Rule::kAdtl;
  if (list == "INFO" || id == "id3 " || id == "ID3 ") return Rule::kCopy;
  if (id == "smpl" || id == "PEAK" || id == "levl" || id == "MD5 ") return Rule::kDrop;
  return afterData ? Rule::kDrop : Rule::kCopy;
}

Bytes BodyOf(const Bytes& file, const Seen& c) {
  return Bytes(file.begin() + c.at + 8, file.begin() + c.at + 8 + c.size);
}

Bytes Whole(const std::string& id, const Bytes& body) {
  Bytes chunk(id.begin(), id.end());
  for (int i = 0; i < 4; ++i) chunk.push_back(static_cast<uint8_t>(body.size() >> (8 * i)));
  chunk.insert(chunk.end(), body.begin(), body.end());
  if (body.size() % 2 == 1) chunk.push_back(0);
  return chunk;
}

// What the rebuilt chunks of one output are made from.
struct Made {
  uint64_t reference = 0;
  std::vector<int64_t> origins;  // the source frame of each output frame
  std::vector<CuePoint> kept;    // the source's points whose frame the output holds
};

// The source's chunks: those of the header when it can be walked, then those after the data.
struct SourceChunks {
  bool walkable = false;
  std::vector<Seen> before;
  std::vector<Seen> after;
};

SourceChunks ChunksOf(const Bytes& file, const ModelHeader& h) {
  SourceChunks s;
  int64_t next = 0;
  s.before = Walk(file, 12, h.dataOffset - 8, &next);
  s.walkable = next == h.dataOffset - 8;
  if (!s.walkable) s.before.clear();
  // A wide source's ds64 is never carried: its outputs state their own sizes.
  if (h.wideForm) std::erase_if(s.before, [&](const Seen& c) { return IdOf(file, c.at) == "ds64"; });
  const int64_t end = static_cast<int64_t>(file.size());
  if (h.sized) s.after = Walk(file, h.dataEnd + (h.dataEnd - h.dataOffset) % 2, end, &next);
  return s;
}

Made MadeOf(const Bytes& file, const ModelHeader& h, const SourceChunks& s, const ModelOutput& out) {
  Made m;
  for (auto [at, length] : out.runs) {
    for (int64_t k = 0; h.frameBytes > 0 && k < length / h.frameBytes; ++k) {
      m.origins.push_back((at - h.dataOffset) / h.frameBytes + k);
    }
  }
  std::optional<uint64_t> bext, ixml;
  for (const auto* chunks : {&s.before, &s.after}) {
    for (const Seen& c : *chunks) {
      const Bytes body = BodyOf(file, c);
      const Rule rule = RuleOf(file, c, chunks == &s.after);
      if (rule == Rule::kBext && body.size() >= 346 && !bext) {
        bext = 0;
        for (int i = 7; i >= 0; --i) *bext = *bext << 8 | body[338 + i];
      }
      if (rule == Rule::kIxml && !ixml) ixml = IxmlTimeReference(std::string(body.begin(), body.end()));
      if (rule != Rule::kCue) continue;
      for (const CuePoint& p : ParseCuePoints(body.data(), body.size())) {
        if (std::find(m.origins.begin(), m.origins.end(), p.sampleOffset) != m.origins.end()) m.kept.push_back(p);
      }
    }
  }
  m.reference = bext.value_or(ixml.value_or(0)) + (m.origins.empty() ? 0 : static_cast<uint64_t>(m.origins[0]));
  return m;
}

// The chunk c as the output has it (empty: left out).
Bytes Rebuilt(const Bytes& file, const Seen& c, bool afterData, const Made& m) {
  Bytes body = BodyOf(file, c);
  const std::string id = IdOf(file, c.at);
  switch (RuleOf(file, c, afterData)) {
    case Rule::kDrop: return {};
    case Rule::kCopy: {
      Bytes chunk = Whole(id, body);
      if (c.size % 2 == 1) chunk.back() = At(file, c.at + 8 + c.size);
      return chunk;
    }
    case Rule::kBext:
      for (size_t i = 0; body.size() >= 346 && i < 8; ++i) body[338 + i] = static_cast<uint8_t>(m.reference >> (8 * i));
      return Whole(id, body);
    case Rule::kIxml: {
      const std::string text = SetIxmlTimeReference(std::string(body.begin(), body.end()), m.reference);
      return Whole(id, Bytes(text.begin(), text.end()));
    }
    case Rule::kCue: {
      std::vector<CuePoint> points;
      for (CuePoint p : ParseCuePoints(body.data(), body.size())) {
        const auto at = std::find(m.origins.begin(), m.origins.end(), p.sampleOffset);
        if (at == m.origins.end()) continue;
        if (p.position == p.sampleOffset) p.position = static_cast<uint32_t>(at - m.origins.begin());
        p.sampleOffset = static_cast<uint32_t>(at - m.origins.begin());
        points.push_back(p);
      }
      return points.empty() ? Bytes{} : BuildCueChunk(points);
    }
    case Rule::kAdtl: {
      std::vector<AdtlEntry> entries;
      for (AdtlEntry e : ParseAdtl(body.data(), body.size())) {
        const auto p = std::find_if(m.kept.begin(), m.kept.end(), [&](const CuePoint& k) { return k.id == e.cueId; });
        if (p == m.kept.end()) continue;
        const Wide from = p->sampleOffset, to = from + e.RegionLength();
        e.SetRegionLength(static_cast<uint32_t>(
            std::count_if(m.origins.begin(), m.origins.end(), [&](int64_t f) { return f >= from && f < to; })));
        entries.push_back(e);
      }
      return entries.empty() ? Bytes{} : BuildAdtlChunk(entries);
    }
  }
  return {};
}

Bytes HeaderOf(const Bytes& file, const ModelHeader& h, const SourceChunks& s, const Made& m, int64_t fillTo) {
  Bytes header(file.begin(), file.begin() + (s.walkable ? 12 : h.dataOffset));
  if (h.wideForm) std::memcpy(header.data(), "RIFF", 4);  // every output here is below 4 GiB
  if (!s.walkable) return header;
  for (const Seen& c : s.before) {
    const Bytes chunk = Rebuilt(file, c, false, m);
    header.insert(header.end(), chunk.begin(), chunk.end());
  }
  const int64_t filler = fillTo - static_cast<int64_t>(header.size()) - 8;
  if (filler >= 8 && filler % 2 == 0) {
    const Bytes junk = Whole("JUNK", Bytes(static_cast<size_t>(filler - 8), 0));
    header.insert(header.end(), junk.begin(), junk.end());
  }
  header.insert(header.end(), file.begin() + h.dataOffset - 8, file.begin() + h.dataOffset);
  return header;
}

}  // namespace

int64_t ModelDataOffset(const Bytes& source, const ModelHeader& h, const ModelOutput& out) {
  const SourceChunks s = ChunksOf(source, h);
  return static_cast<int64_t>(HeaderOf(source, h, s, MadeOf(source, h, s, out), 0).size());
}

Bytes ModelOutputFile(const Bytes& source, const ModelHeader& h, const ModelOutput& full, bool exact,
                      int64_t keptBytes) {
  const SourceChunks s = ChunksOf(source, h);
  const ModelOutput out = keptBytes >= 0 ? full.Prefix(static_cast<size_t>(keptBytes)) : full;
  const Made m = MadeOf(source, h, s, out);
  Bytes file = HeaderOf(source, h, s, MadeOf(source, h, s, full), 0);
  const auto planned = static_cast<int64_t>(file.size());
  if (out.samples.size() < full.samples.size()) {
    const Bytes shorter = HeaderOf(source, h, s, m, planned);
    if (static_cast<int64_t>(shorter.size()) == planned) file = shorter;
  }
  file.insert(file.end(), out.samples.begin(), out.samples.end());
  Bytes after;
  for (const Seen& c : s.after) {
    const Bytes chunk = Rebuilt(source, c, true, m);
    after.insert(after.end(), chunk.begin(), chunk.end());
  }
  if (!after.empty() && out.samples.size() % 2 == 1) file.push_back(0);
  file.insert(file.end(), after.begin(), after.end());
  Put32(file, 4, static_cast<uint32_t>(file.size() - 8));
  Put32(file, planned - 4, static_cast<uint32_t>(out.samples.size()));
  const int64_t fact = h.cutsOnFrames || exact ? FactCount(file, planned) : -1;
  if (fact >= 0) Put32(file, fact, static_cast<uint32_t>(out.samples.size() / h.frameBytes));
  return file;
}

int64_t DataSizeField(const Bytes& output, int64_t dataOffset) {
  return static_cast<int64_t>(output.size()) >= dataOffset ? U32(output, dataOffset - 4) : 0;
}

std::string CompareOutput(const Bytes& actual, const Bytes& expected) {
  if (actual.size() != expected.size()) {
    return "size " + std::to_string(actual.size()) + ", expected " + std::to_string(expected.size());
  }
  const auto diff = std::mismatch(actual.begin(), actual.end(), expected.begin());
  if (diff.first == actual.end()) return {};
  return "first differing byte at " + std::to_string(diff.first - actual.begin());
}

std::string CheckNormalized(const Bytes& output, const Bytes& source, const ModelHeader& h) {
  if (output.size() != source.size()) {
    return "normalized size " + std::to_string(output.size()) + ", source " + std::to_string(source.size());
  }
  // The source's header with the RIFF size and then the data size set to what the output holds.
  Bytes header(source.begin(), source.begin() + h.dataOffset);
  const int64_t data = h.dataEnd - h.dataOffset;
  const bool wide = h.wideForm && h.ds64;  // the normalizer keeps the form: the sizes go to ds64
  Put32(header, 4, wide ? 0xFFFFFFFF : static_cast<uint32_t>(output.size() - 8));
  Put32(header, h.dataOffset - 4, wide ? 0xFFFFFFFF : static_cast<uint32_t>(data));
  const int64_t ds64[3] = {static_cast<int64_t>(output.size()) - 8, data, data / std::max(1, h.frameBytes)};
  for (int v = 0; wide && v < 3; ++v) {
    Put32(header, 20 + 8 * v, static_cast<uint32_t>(ds64[v]));
    Put32(header, 24 + 8 * v, static_cast<uint32_t>(static_cast<uint64_t>(ds64[v]) >> 32));
  }
  if (!std::equal(header.begin(), header.end(), output.begin())) return "normalized header differs";
  if (!std::equal(source.begin() + h.dataEnd, source.end(), output.begin() + h.dataEnd)) {
    return "bytes after the data area differ";
  }
  return {};
}

std::string NumberedName(const std::string& folder, const std::string& stem, int k) {
  return folder + "/" + stem + (k < 10 ? "0" : "") + std::to_string(k) + ".wav";
}

bool ModelParseMarkList(const std::string& text, std::vector<int64_t>* marks) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.push_back(line);
    line.clear();
  }
  if (!line.empty()) lines.push_back(line);

  marks->clear();
  for (const std::string& l : lines) {
    size_t a = 0, b = l.size();
    while (a < b && (l[a] == ' ' || l[a] == '\t')) ++a;
    while (b > a && (l[b - 1] == ' ' || l[b - 1] == '\t')) --b;
    bool negative = false;
    if (a < b && (l[a] == '+' || l[a] == '-')) negative = l[a++] == '-';
    if (a == b) return false;
    Wide value = 0;
    for (size_t i = a; i < b; ++i) {
      if (l[i] < '0' || l[i] > '9') return false;
      value = value * 10 + (l[i] - '0');
      if (value > Wide(INT64_MAX) + 1) return false;  // does not fit in 64 bits either way
    }
    if (negative) value = -value;
    if (value > INT64_MAX || value < 1) return false;
    marks->push_back(static_cast<int64_t>(value));
  }
  std::sort(marks->begin(), marks->end());
  marks->erase(std::unique(marks->begin(), marks->end()), marks->end());
  return marks->size() <= 255;
}

}  // namespace sonaveld::check
