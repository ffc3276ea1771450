#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "document/RiffChunks.h"

namespace sonaveld {

// One point of a "cue " chunk: 24 bytes after the chunk's 32-bit point count, all little-endian.
struct CuePoint {
  uint32_t id = 0;                      // dwName: the point's id, which the LIST "adtl" entries name
  uint32_t position = 0;                // dwPosition: writers differ (the frame, a play order, 0)
  FourCC chunk = MakeFourCC("data");    // fccChunk
  uint32_t chunkStart = 0;              // dwChunkStart
  uint32_t blockStart = 0;              // dwBlockStart
  uint32_t sampleOffset = 0;            // dwSampleOffset: the 0-based frame of the sample data

  bool operator==(const CuePoint&) const = default;
};

// One sub-chunk of a LIST "adtl" chunk: "labl" and "note" (a zero-ended text), "ltxt" (a region
// length, purpose, country, language, dialect, code page, then a text), or any other whose body
// starts with the id of its cue point.
struct AdtlEntry {
  FourCC id{};
  uint32_t cueId = 0;          // the body's first four bytes
  std::vector<uint8_t> rest;   // the body after them

  bool operator==(const AdtlEntry&) const = default;
  // A "labl" entry naming cue point cueId with text (a zero byte is put after it).
  static AdtlEntry Label(uint32_t cueId, std::string_view text);
  // True for an "ltxt" entry long enough to hold its region length (the frames from its point).
  bool HasRegion() const { return id == MakeFourCC("ltxt") && rest.size() >= 4; }
  uint32_t RegionLength() const;
  void SetRegionLength(uint32_t frames);
};

// The points of a "cue " chunk's body: as many as its count says and its bytes hold, in order.
std::vector<CuePoint> ParseCuePoints(const uint8_t* body, size_t size);
// The entries of a LIST "adtl" chunk's body (its list type first), in order. The walk stops at a
// sub-chunk that runs past the body; sub-chunks under 4 bytes (without a cue id) are left out.
std::vector<AdtlEntry> ParseAdtl(const uint8_t* body, size_t size);

// A whole "cue " chunk holding points, in their order.
std::vector<uint8_t> BuildCueChunk(const std::vector<CuePoint>& points);
// A whole LIST "adtl" chunk holding entries, in their order, each padded to an even length.
std::vector<uint8_t> BuildAdtlChunk(const std::vector<AdtlEntry>& entries);

}  // namespace sonaveld
