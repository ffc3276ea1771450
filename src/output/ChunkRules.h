#pragma once
#include "document/RiffChunks.h"

namespace sonaveld {

// What a cut or split output does with a chunk of its source.
enum class ChunkRule {
  kCopy,           // copied byte for byte, in its place
  kDrop,           // left out
  kTimeReference,  // "bext": copied, its TimeReference set to the output's first sample
  kIxmlTime,       // "iXML": copied, its time reference elements set to the output's first sample
  kCuePoints,      // "cue ": rebuilt with the points that lie in the output's frames, at their new frames
  kCueTexts,       // LIST "adtl": rebuilt with the labels, notes and region texts of the points kept
  kInfoTitle,      // LIST "INFO": copied; in a named piece its "INAM" holds the piece's name
};

// The rule of chunk, by its id (and a LIST's list type), where it stands: before the sample data
// (afterData false) or after it. One table holds every id with a rule of its own; any other chunk
// is copied before the samples and left out after them, where nothing could say what it describes.
ChunkRule RuleFor(const RiffChunk& chunk, bool afterData);

}  // namespace sonaveld
