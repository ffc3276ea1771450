#include "OutputModel.h"

#include <algorithm>
#include <cstring>

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
void TakeChunk(const Bytes& file, int64_t tag, ModelHeader* h) {
  const int64_t size = static_cast<int64_t>(file.size());
  h->dataOffset = tag + 8;
  const int64_t declared = U32(file, tag + 4);
  h->sized = declared > 0 && h->dataOffset + declared <= size;
  h->dataEnd = h->sized ? h->dataOffset + declared : size;
}

bool IdAt(const Bytes& file, int64_t i, const char* id) {
  return i + 4 <= static_cast<int64_t>(file.size()) && std::memcmp(&file[i], id, 4) == 0;
}

uint16_t U16(const Bytes& file, int64_t i) { return static_cast<uint16_t>(At(file, i) | At(file, i + 1) << 8); }

// The tag that describes 24/32-bit samples: the format tag at byte 20, or for the extensible tag
// the sub-format's at byte 44 when the format chunk (size at byte 16) holds at least 40 bytes.
int SampleTag(const Bytes& file) {
  const int tag = U16(file, 20);
  if (tag != 0xFFFE) return tag;
  return U32(file, 16) >= 40 ? U16(file, 44) : -1;
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
int64_t ReadChunk(const Bytes& file, const ModelHeader& h, Wide pos, Bytes* out) {
  if (pos >= h.dataEnd) return 0;
  const int64_t at = static_cast<int64_t>(pos);
  const int64_t r = std::min<int64_t>(kChunk, h.dataEnd - at);
  out->insert(out->end(), file.begin() + at, file.begin() + at + r);
  return r;
}

// CopyRange: from the start byte, whole chunks (at most K = L div 200 of them unless the range
// runs to the implied end), ending early at the one short read.
void CopyRange(const Bytes& file, const ModelHeader& h, int64_t start, int64_t end, bool toEnd, Bytes* out) {
  Wide pos = h.dataOffset + (Wide(start) - 1) * h.frameBytes;
  const Wide length = (Wide(end) - start) * h.frameBytes;
  const Wide chunks = length / kChunk;  // truncates toward zero; a negative length copies nothing
  for (Wide k = 0; toEnd || k < chunks; ++k) {
    if (ReadChunk(file, h, pos, out) != kChunk) return;
    pos += kChunk;
  }
}

// Appends the frame whose first byte is at.
void AppendFrame(const Bytes& file, const ModelHeader& h, Wide at, Bytes* out) {
  const auto begin = file.begin() + static_cast<int64_t>(at);
  out->insert(out->end(), begin, begin + h.frameBytes);
}

// A range of a file that cuts on frames: frame after frame from start up to end, or up to the last
// whole frame for a range to the implied end; no frame that does not lie wholly in the sample area.
void CopyFrames(const Bytes& file, const ModelHeader& h, int64_t start, int64_t end, bool toEnd, Bytes* out) {
  for (Wide f = start; toEnd || f < end; ++f) {
    const Wide at = h.dataOffset + (f - 1) * h.frameBytes;
    if (at + h.frameBytes > h.dataEnd) return;
    AppendFrame(file, h, at, out);
  }
}

void CopyAny(const Bytes& file, const ModelHeader& h, int64_t start, int64_t end, bool toEnd, Bytes* out) {
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
  h.channels = At(file, 22);
  h.bits = At(file, 34);
  h.rate = static_cast<int32_t>(U32(file, 24));
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
  const int tag = SampleTag(file);
  const bool wide = (tag == 1 && (h.bits == 24 || h.bits == 32)) || (tag == 3 && h.bits == 32);
  const bool bitsOk = h.bits == 8 || h.bits == 16 || wide;
  const bool channelsOk = h.channels == 1 || h.channels == 2;
  h.accepted = bitsOk && channelsOk && h.rate > 0 && found;
  if (h.accepted) {
    h.frameBytes = h.channels * h.bits / 8;
    h.cutsOnFrames = h.bits >= 24;
    h.isFloat = h.bits == 32 && tag == 3;
  }
  return h;
}

Outputs ModelCutEdited(const Bytes& file, const ModelHeader& h, const std::vector<int64_t>& marks, bool keepHead) {
  Bytes samples;
  for (const Range& r : Pairing(marks, keepHead)) CopyAny(file, h, r.start, r.end, r.toEnd, &samples);
  return {samples};
}

Outputs ModelSplitRanges(const Bytes& file, const ModelHeader& h, const std::vector<int64_t>& marks, bool keepHead) {
  Outputs outputs;
  for (const Range& r : Pairing(marks, keepHead)) {
    outputs.emplace_back();
    CopyAny(file, h, r.start, r.end, r.toEnd, &outputs.back());
  }
  return outputs;
}

Outputs ModelSplitAtMarks(const Bytes& file, const ModelHeader& h, const std::vector<int64_t>& marks) {
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

Bytes ModelCarried(const Bytes& file, const ModelHeader& h) {
  Bytes carried;
  if (!h.sized) return carried;
  const int64_t size = static_cast<int64_t>(file.size());
  for (Wide at = h.dataEnd + (h.dataEnd - h.dataOffset) % 2; at + 8 <= size;) {
    const int64_t i = static_cast<int64_t>(at);
    const Wide body = U32(file, i + 4);
    if (at + 8 + body > size) break;
    const bool info = IdAt(file, i, "LIST") && body >= 4 && IdAt(file, i + 8, "INFO");
    if (info || IdAt(file, i, "id3 ") || IdAt(file, i, "ID3 ")) {
      carried.insert(carried.end(), file.begin() + i, file.begin() + i + 8 + static_cast<int64_t>(body));
      if (body % 2 == 1) carried.push_back(At(file, i + 8 + static_cast<int64_t>(body)));
    }
    at += 8 + body + body % 2;
  }
  return carried;
}

Bytes ModelOutputFile(const Bytes& source, const ModelHeader& h, const Bytes& samples, const Bytes& carried) {
  const int64_t dataOffset = h.dataOffset;
  Bytes out(source.begin(), source.begin() + dataOffset);
  out.insert(out.end(), samples.begin(), samples.end());
  if (!carried.empty() && samples.size() % 2 == 1) out.push_back(0);
  out.insert(out.end(), carried.begin(), carried.end());
  Put32(out, 4, static_cast<uint32_t>(out.size() - 8));
  Put32(out, dataOffset - 4, static_cast<uint32_t>(samples.size()));
  const int64_t fact = h.cutsOnFrames ? FactCount(source, dataOffset) : -1;
  if (fact >= 0) Put32(out, fact, static_cast<uint32_t>(samples.size() / h.frameBytes));
  return out;
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
  Put32(header, 4, static_cast<uint32_t>(output.size() - 8));
  Put32(header, h.dataOffset - 4, static_cast<uint32_t>(h.dataEnd - h.dataOffset));
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
