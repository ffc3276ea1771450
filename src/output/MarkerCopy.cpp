#include "output/MarkerCopy.h"

#include <algorithm>
#include <limits>

#include "document/CueChunks.h"
#include "document/RiffChunks.h"
#include "document/WaveContainer.h"
#include "output/OutputRun.h"

namespace sonaveld {
namespace {

bool HoldsMarkers(const RiffChunk& chunk) { return chunk.Is("cue ") || chunk.IsList("adtl"); }

// The source's header with its cue and adtl chunks left out. A header the chunk walk cannot
// follow from byte 12 to the data chunk is taken as it stands. An RF64 or BW64 source keeps its
// form, its "ds64" first, so the sizes go into ds64 as they do for the other outputs.
Result<OutputHeader> CopyHeader(ByteSource& source, const WaveHeader& header, const std::string& path) {
  OutputHeader out;
  out.wide = IsWide(header.Container);
  std::vector<uint8_t> bytes(static_cast<size_t>(header.DataOffset));
  if (source.ReadAt(0, bytes.data(), header.DataOffset) != header.DataOffset) {
    return {Status::Fail(MessageId::kCannotRead, path), {}};
  }
  MemorySource held(bytes);
  const int64_t dataTag = header.DataOffset - 8;
  const ChunkWalk walk = WalkChunks(held, 12, dataTag);
  if (walk.next != dataTag) {
    out.bytes = std::move(bytes);
    return {Status::Ok(), std::move(out)};
  }
  out.bytes.assign(bytes.begin(), bytes.begin() + 12);
  for (const RiffChunk& chunk : walk.chunks) {
    if (!HoldsMarkers(chunk)) out.bytes.insert(out.bytes.end(), bytes.begin() + chunk.offset, bytes.begin() + chunk.Next());
  }
  out.bytes.insert(out.bytes.end(), bytes.begin() + dataTag, bytes.end());
  return {Status::Ok(), std::move(out)};
}

// The source's chunks after the samples, less its cue and adtl chunks, as stretches to copy
// (where the data size field fitted the file), then the cue and adtl chunks of marks.
Result<std::vector<TrailingPiece>> Trailing(ByteSource& source, int64_t sourceSize, const WaveHeader& header,
                                            const std::vector<NamedMark>& marks, const std::string& path) {
  std::vector<TrailingPiece> pieces;
  if (header.DataEnd < header.FileSize) {
    const int64_t begin = header.DataEnd + ((header.DataEnd - header.DataOffset) & 1);
    const ChunkWalk tail = WalkChunks(source, begin, sourceSize);
    if (tail.readError) return {Status::Fail(MessageId::kCannotRead, path), {}};
    for (const RiffChunk& chunk : tail.chunks) {
      // An odd chunk at the very end without its pad byte gets one.
      const int64_t end = std::min(chunk.Next(), sourceSize);
      if (!HoldsMarkers(chunk)) pieces.push_back({{chunk.offset, end - chunk.offset}, {}});
      if (!HoldsMarkers(chunk) && end < chunk.Next()) pieces.push_back({{}, {0}});
    }
  }
  std::vector<CuePoint> points;
  std::vector<AdtlEntry> labels;
  for (const NamedMark& mark : marks) {
    const auto id = static_cast<uint32_t>(points.size() + 1);
    const auto offset = static_cast<uint32_t>(mark.frame - 1);
    points.push_back({id, offset, MakeFourCC("data"), 0, 0, offset});
    if (!mark.name.empty()) labels.push_back(AdtlEntry::Label(id, mark.name));
  }
  if (!points.empty()) pieces.push_back({{}, BuildCueChunk(points)});
  if (!labels.empty()) pieces.push_back({{}, BuildAdtlChunk(labels)});
  return {Status::Ok(), std::move(pieces)};
}

// The marks a cue point can hold inside the sample area: 1 .. frames (and 32-bit offsets).
std::vector<NamedMark> MarksInside(const std::vector<NamedMark>& marks, int64_t frames) {
  std::vector<NamedMark> inside;
  for (const NamedMark& mark : marks) {
    if (mark.frame >= 1 && mark.frame <= frames && mark.frame - 1 <= std::numeric_limits<uint32_t>::max()) {
      inside.push_back(mark);
    }
  }
  return inside;
}

Status WriteCopy(OutputRun& run, const FileFields& file, const std::vector<NamedMark>& marks,
                 const std::string& outPath) {
  const Result<OutputHeader> header = CopyHeader(run.Source(), file.Header, file.WaveFileName);
  if (!header.ok()) return header.status;
  const Result<std::vector<TrailingPiece>> trailing = Trailing(
      run.Source(), run.SourceSize(), file.Header, MarksInside(marks, file.Header.Frames()), file.WaveFileName);
  if (!trailing.ok()) return trailing.status;
  Result<std::unique_ptr<OutputFile>> created = run.CopyWaveHeader(outPath, header.value);
  if (!created.ok()) return created.status;
  OutputFile& out = *created.value;
  const ByteStretch samples{file.Header.DataOffset, run.DataEnd() - file.Header.DataOffset};
  // A stopped copy is abandoned: the output file goes with it.
  if (Status copied = run.CopyStretch(out, samples); !copied.ok()) return copied;
  if (Status finished = run.FinishCopy(out, header.value, trailing.value, samples.length); !finished.ok()) {
    return finished;
  }
  run.Completed(outPath);
  return Status::Ok();
}

}  // namespace

OutputResult WriteMarkerCopy(const FileFields& file, const std::vector<NamedMark>& marks, const std::string& outPath,
                             CreationFlags& flags, OutputHost& host, const OutputOptions& options) {
  OutputOptions whole = options;
  whole.exactCuts = true;  // blocks of whole frames: the copy takes every sample byte
  OutputRun run(file, flags, host, whole);
  Status status = run.OpenSource();
  if (status.ok()) status = run.CheckOutputs({outPath});
  if (status.ok()) status = WriteCopy(run, file, marks, outPath);
  return run.End(status);
}

}  // namespace sonaveld
