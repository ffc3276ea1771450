#include "output/JoinWaves.h"

#include <algorithm>
#include <map>
#include <memory>

#include "document/WaveSizes.h"
#include "io/ByteCopier.h"
#include "io/FileChecks.h"
#include "output/FactChunk.h"
#include "output/OutputChunks.h"

namespace sonaveld {
namespace {

// The sample bytes of a source that the join takes: its whole frames.
int64_t WholeFrameBytes(const WaveHeader& h) {
  const int64_t frameBytes = h.FrameSize();
  return frameBytes == 0 ? 0 : std::max<int64_t>(0, h.DataEnd - h.DataOffset) / frameBytes * frameBytes;
}

bool SameFormat(const WaveHeader& a, const WaveHeader& b) {
  // Kind alone does not tell files of 3 to 8 channels apart: all have none.
  return a.Kind == b.Kind && a.Channels == b.Channels && a.SampleRate == b.SampleRate && a.BitsPerSample == b.BitsPerSample;
}

// The cue points and texts of every source, moved by the frames before it and renumbered.
struct JoinedCues {
  std::vector<CuePoint> points;
  std::vector<AdtlEntry> entries;
  uint32_t nextId = 1;

  void Add(const OutputChunks& chunks, int64_t baseFrame) {
    std::map<uint32_t, uint32_t> ids;
    for (CuePoint p : chunks.CuePoints()) {
      const int64_t at = baseFrame + p.sampleOffset;
      if (at > int64_t{UINT32_MAX} || ids.count(p.id) != 0) continue;
      if (p.position == p.sampleOffset) p.position = static_cast<uint32_t>(at);
      p.sampleOffset = static_cast<uint32_t>(at);
      ids[p.id] = nextId;
      p.id = nextId++;
      points.push_back(p);
    }
    for (AdtlEntry e : chunks.CueTexts()) {
      const auto id = ids.find(e.cueId);
      if (id == ids.end()) continue;
      e.cueId = id->second;
      entries.push_back(std::move(e));
    }
  }
};

// The run of one join: the output and the copy with its idle calls.
class JoinRun {
 public:
  JoinRun(CreationFlags& flags, OutputHost& host, const OutputOptions& options)
      : flags_(flags), host_(host), options_(options),
        copier_(std::min(kCopyBufferBytes, std::max<int64_t>(1, options.blockBytes)), /*inKernel=*/true),
        idle_(options.idleInterval, IdleThrottle::First::kAtOnce) {}

  // Appends bytes [begin, begin + length) of the file at path in blocks; Stopped on AbortRequested.
  Status Copy(OutputFile& out, const std::string& path, int64_t begin, int64_t length, bool samples) {
    auto source = FileSource::Open(path);
    if (!source) return Status::Fail(MessageId::kCannotOpen, path);
    for (int64_t done = 0; done < length;) {
      const int64_t n = std::min(std::max<int64_t>(1, options_.blockBytes), length - done);
      const ByteSink::Copy copy = copier_.Copy(*source, out, begin + done, n);
      if (copy == ByteSink::Copy::kReadFailed) return Status::Fail(MessageId::kCannotRead, path);
      if (copy != ByteSink::Copy::kDone) return Status::Fail(MessageId::kCannotWrite, out.path());
      done += n;
      if (!samples) continue;
      flags_.CopyPos += n;
      if (idle_.Due()) {
        host_.PanelChanged(OutputHost::Panel::kCreating);
        host_.Idle();
      }
      if (flags_.AbortRequested) return Status::Stopped();
    }
    return Status::Ok();
  }

  OutputResult End(Status status, const std::string& written) {
    flags_.Busy = false;
    flags_.AbortRequested = false;
    if (status.ok()) host_.PanelChanged(OutputHost::Panel::kFinished);
    if (status.stopped()) host_.PanelChanged(OutputHost::Panel::kStopped);
    OutputResult result{status, {}, {}};
    if (status.ok()) result.written.push_back(written);
    return result;
  }

 private:
  CreationFlags& flags_;
  OutputHost& host_;
  const OutputOptions& options_;
  ByteCopier copier_;
  IdleThrottle idle_;
};

// The first source's chunks with the cue points of all, and the bytes the join writes.
struct JoinPlan {
  OutputChunks chunks;
  ByteStretch whole;  // the joined samples, as if the first source held them all
  Status status;
};

void PlanJoin(const std::vector<JoinSource>& sources, JoinPlan& plan) {
  JoinedCues cues;
  int64_t bytes = 0;
  const int frameBytes = std::max(1, sources.front().header.FrameSize());
  for (size_t i = 0; i < sources.size() && plan.status.ok(); ++i) {
    const JoinSource& s = sources[i];
    auto source = FileSource::Open(s.path);
    if (!source) {
      plan.status = Status::Fail(MessageId::kCannotOpen, s.path);
      break;
    }
    OutputChunks own;
    OutputChunks& chunks = i == 0 ? plan.chunks : own;
    plan.status = chunks.Read(*source, source->Size(), s.header, s.path);
    cues.Add(chunks, bytes / frameBytes);
    bytes += WholeFrameBytes(s.header);
  }
  plan.chunks.SetCues(std::move(cues.points), std::move(cues.entries));
  plan.whole = {sources.front().header.DataOffset, bytes};
}

int64_t TrailingBytes(const std::vector<TrailingPiece>& pieces, int64_t samples) {
  int64_t n = pieces.empty() ? 0 : (samples & 1);
  for (const TrailingPiece& p : pieces) n += p.bytes.empty() ? p.source.length : static_cast<int64_t>(p.bytes.size());
  return n;
}

// The checks before anything is created: the output is none of the sources; the free space.
Status CheckJoinOutput(const std::vector<JoinSource>& sources, const std::string& outPath, int64_t planned,
                       OutputHost& host, const OutputOptions& options) {
  for (const JoinSource& s : sources) {
    if (IsSameFile(outPath, s.path)) return Status::Fail(MessageId::kCannotCreate, outPath);
  }
  const int64_t freeBytes = options.freeBytes ? options.freeBytes(outPath) : FreeBytesForOutput(outPath);
  if (freeBytes < planned && !host.ConfirmLowSpace(FormatMessage(MessageId::kLowSpaceQuestion))) {
    return Status::Silent();
  }
  return Status::Ok();
}

}  // namespace

Result<std::vector<JoinSource>> ProbeJoinSources(const std::vector<std::string>& paths) {
  std::vector<JoinSource> sources;
  for (const std::string& path : paths) {
    auto file = FileSource::Open(path);
    if (!file) return {Status::Fail(MessageId::kCannotOpen, path)};
    const ProbeResult probe = ProbeWave(*file, path);
    if (!probe.status.ok()) return {probe.status};
    if (!sources.empty() && !SameFormat(sources.front().header, probe.header)) {
      return {Status::Fail(MessageId::kJoinMismatch, path)};
    }
    sources.push_back({path, probe.header});
  }
  return {Status::Ok(), std::move(sources)};
}

OutputResult JoinWaves(const std::vector<JoinSource>& sources, const std::string& outPath, CreationFlags& flags,
                       OutputHost& host, const OutputOptions& options) {
  JoinRun run(flags, host, options);
  if (sources.empty()) return run.End(Status::Silent(), outPath);
  JoinPlan plan;
  PlanJoin(sources, plan);
  if (!plan.status.ok()) return run.End(plan.status, outPath);
  const std::vector<ByteStretch> whole{plan.whole};
  const std::vector<TrailingPiece> trailing = plan.chunks.Trailing(whole);
  OutputHeader header = plan.chunks.Header(whole);
  int64_t planned = header.DataOffset() + plan.whole.length + TrailingBytes(trailing, plan.whole.length);
  if (planned > options.largestRiff) {
    header = plan.chunks.Header(whole, {}, 0, /*wide=*/true);
    planned += kDs64ChunkBytes;
  }
  if (Status checked = CheckJoinOutput(sources, outPath, planned, host, options); !checked.ok()) {
    return run.End(checked, outPath);
  }
  auto out = OutputFile::Create(outPath, options.openSink);
  if (!out) return run.End(Status::Fail(MessageId::kCannotCreate, outPath), outPath);
  // Room for the whole output at once, as the cut commands set it aside.
  out->Reserve(planned);
  flags.StatusHeld = true;
  flags.Busy = true;
  flags.CopyPos = 0;
  Status status = out->Write(header.bytes.data(), header.DataOffset()) ? Status::Ok()
                                                                        : Status::Fail(MessageId::kCannotWrite, outPath);
  for (const JoinSource& s : sources) {
    if (status.ok()) status = run.Copy(*out, s.path, s.header.DataOffset, WholeFrameBytes(s.header), true);
  }
  static constexpr uint8_t kPad = 0;
  if (status.ok() && !trailing.empty() && (plan.whole.length & 1) != 0 && !out->Write(&kPad, 1)) {
    status = Status::Fail(MessageId::kCannotWrite, outPath);
  }
  for (const TrailingPiece& piece : trailing) {
    if (!status.ok()) break;
    if (piece.bytes.empty()) {
      status = run.Copy(*out, sources.front().path, piece.source.begin, piece.source.length, false);
    } else if (!out->Write(piece.bytes.data(), static_cast<int64_t>(piece.bytes.size()))) {
      status = Status::Fail(MessageId::kCannotWrite, outPath);
    }
  }
  if (!status.ok()) return run.End(status, outPath);  // the output is abandoned: nothing left behind
  const int frameBytes = std::max(1, sources.front().header.FrameSize());
  const int64_t frames = plan.whole.length / frameBytes;
  const int64_t fact = FactCountOffset(header.bytes.data(), header.DataOffset());
  const WaveSizes sizes{header.wide, header.DataOffset() - 4, out->written(), plan.whole.length, frames};
  const bool ok = WriteWaveSizes(*out, sizes) &&
                  (fact < 0 || out->WriteU32At(fact, static_cast<uint32_t>(std::min<int64_t>(frames, kSizeInDs64)))) &&
                  out->Commit();
  if (!ok) return run.End(Status::Fail(MessageId::kCannotWrite, outPath), outPath);
  host.FileWritten(outPath);
  return run.End(Status::Ok(), outPath);
}

}  // namespace sonaveld
