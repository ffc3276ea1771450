#include "output/ChunkRules.h"

namespace sonaveld {
namespace {

struct RuleEntry {
  const char* id;
  const char* listType;  // LIST chunks only
  ChunkRule beforeData;
  ChunkRule afterData;
};

// Loops, peak envelopes and checksums describe the source's audio as a whole, which no cut keeps;
// titles and tags hold for every piece, except the title of a piece named by its mark. The "fact"
// chunk keeps its place and its frame count is set with the size fields.
constexpr RuleEntry kRules[] = {
    {"bext", nullptr, ChunkRule::kTimeReference, ChunkRule::kTimeReference},
    {"iXML", nullptr, ChunkRule::kIxmlTime, ChunkRule::kIxmlTime},
    {"cue ", nullptr, ChunkRule::kCuePoints, ChunkRule::kCuePoints},
    {"LIST", "adtl", ChunkRule::kCueTexts, ChunkRule::kCueTexts},
    {"LIST", "INFO", ChunkRule::kInfoTitle, ChunkRule::kInfoTitle},
    {"id3 ", nullptr, ChunkRule::kCopy, ChunkRule::kCopy},
    {"ID3 ", nullptr, ChunkRule::kCopy, ChunkRule::kCopy},
    {"smpl", nullptr, ChunkRule::kDrop, ChunkRule::kDrop},
    {"PEAK", nullptr, ChunkRule::kDrop, ChunkRule::kDrop},
    {"levl", nullptr, ChunkRule::kDrop, ChunkRule::kDrop},
    {"MD5 ", nullptr, ChunkRule::kDrop, ChunkRule::kDrop},
};

}  // namespace

ChunkRule RuleFor(const RiffChunk& chunk, bool afterData) {
  for (const RuleEntry& rule : kRules) {
    const bool match = rule.listType != nullptr ? chunk.IsList(rule.listType) : chunk.Is(rule.id);
    if (match) return afterData ? rule.afterData : rule.beforeData;
  }
  return afterData ? ChunkRule::kDrop : ChunkRule::kCopy;
}

}  // namespace sonaveld
