#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Status.h"
#include "document/CueChunks.h"
#include "document/RiffChunks.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "output/ChunkRules.h"
#include "output/CopyPlan.h"

namespace sonaveld {

// The bytes before an output's samples as built for it: "RIFF", a size, "WAVE", the header chunks
// by their rules, then "data" and a size. The two sizes (and a fact chunk's frame count) are set
// when the samples are written; they are found from the built bytes, so another header form can be
// written from the same plan.
struct OutputHeader {
  std::vector<uint8_t> bytes;
  bool wide = false;  // RF64: "ds64" at byte 12, the 32-bit size fields 0xFFFFFFFF

  int64_t DataOffset() const { return static_cast<int64_t>(bytes.size()); }
};

// One piece of what follows an output's samples: a stretch of source bytes copied as it is, or
// bytes built for the output.
struct TrailingPiece {
  ByteStretch source;          // used when bytes is empty
  std::vector<uint8_t> bytes;
};

// The chunks of a source as every output of one command handles them, each by its rule
// (ChunkRules.h): read once, then built into each output's header and trailing chunks from the
// source bytes that output copies. A header the chunk walk cannot follow from byte 12 to the data
// chunk (one whose data tag was found by the tag search) is copied whole, as it stands.
class OutputChunks {
 public:
  // Reads the source's bytes before its samples and walks its chunks; those after the samples only
  // where the data size field was above 0 and fitted the file when it was probed (header.DataEnd <
  // header.FileSize), from the data's end and pad byte to fileSize (the source's size now). Ok, or
  // the read failure: "ファイル %s を読み込めません。" with path.
  Status Read(ByteSource& source, int64_t fileSize, const WaveHeader& header, const std::string& path);

  // The header of an output made of the source stretches copied, in output order (the first
  // stretch that copies a whole frame gives its first sample; without one the source's time
  // stays), titled title when it is a named piece ("": not named). Where fillTo is at least 8 bytes
  // more than that header, a "JUNK" chunk before the data chunk fills it to fillTo bytes: an output
  // cut short keeps its data offset while its cue points shrink to what it holds. wide: an RF64
  // header, "RF64" and a "ds64" chunk (kDs64ChunkBytes) in place of "RIFF"; a source's own "ds64"
  // is never copied, and a RIFF output of a wide source starts with "RIFF".
  OutputHeader Header(const std::vector<ByteStretch>& copied, const std::string& title = {}, int64_t fillTo = 0,
                      bool wide = false) const;
  // What follows the samples of that output, in source order. A named piece's title goes into every
  // LIST "INFO" the output holds (ChunkRule::kInfoTitle), or, when it holds none, into a new one
  // here at the end.
  std::vector<TrailingPiece> Trailing(const std::vector<ByteStretch>& copied, const std::string& title = {}) const;

  // Every cue point of the source (its "cue " chunks before and after the samples) and every text of
  // its LIST "adtl" chunks, as read.
  std::vector<CuePoint> CuePoints() const;
  std::vector<AdtlEntry> CueTexts() const;
  // Makes points and entries those of the source: they go into its first "cue " and LIST "adtl"
  // chunks (the others are left out), or into new chunks after the samples where it has none.
  // Used for an output that joins files, whose points are given in frames of the whole.
  void SetCues(std::vector<CuePoint> points, std::vector<AdtlEntry> entries);

  // A source chunk with what its rule needs of it.
  struct Held {
    RiffChunk chunk;
    ChunkRule rule = ChunkRule::kCopy;
    std::vector<uint8_t> body;       // bext and iXML bodies
    std::vector<CuePoint> points;    // "cue "
    std::vector<AdtlEntry> entries;  // LIST "adtl"
    bool padMissing = false;         // an odd body at the file's end, without its pad byte
  };

 private:
  // True when a LIST "INFO" of the source is held to be titled.
  bool HoldsInfo() const;
  std::vector<uint8_t> sourceHeader_;  // bytes 0 .. DataOffset - 1
  bool walkable_ = false;
  std::vector<Held> before_;
  std::vector<Held> after_;
  WaveHeader header_;
  uint64_t timeReference_ = 0;  // the source's: its bext's, else its iXML's
};

}  // namespace sonaveld
