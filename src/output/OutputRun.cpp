#include "output/OutputRun.h"

#include <algorithm>

#include "document/WaveSizes.h"
#include "io/FileChecks.h"
#include "output/FactChunk.h"

namespace sonaveld {
namespace {

// A block size of the copy in whole units (CopyUnit), at least one.
int64_t WholeUnits(int64_t bytes, int64_t unit) { return std::max<int64_t>(unit, bytes / unit * unit); }

// The bytes of an output with this header, these stretches and these trailing pieces.
int64_t PlannedBytes(const OutputHeader& header, const std::vector<ByteStretch>& stretches,
                     const std::vector<TrailingPiece>& trailing) {
  int64_t samples = 0;
  for (const ByteStretch& s : stretches) samples += s.length;
  int64_t after = trailing.empty() ? 0 : (samples & 1);
  for (const TrailingPiece& piece : trailing) {
    after += piece.bytes.empty() ? piece.source.length : static_cast<int64_t>(piece.bytes.size());
  }
  return header.DataOffset() + samples + after;
}

}  // namespace

OutputRun::OutputRun(const FileFields& file, CreationFlags& flags, OutputHost& host, const OutputOptions& options)
    : file_(file),
      flags_(flags),
      host_(host),
      options_(options),
      copier_(std::min(kCopyBufferBytes, WholeUnits(options.blockBytes, CopyUnit(file.Header, options.exactCuts))),
              /*inKernel=*/true),
      idle_(options.idleInterval, IdleThrottle::First::kAtOnce) {
  options_.blockBytes = WholeUnits(options_.blockBytes, CopyUnit(file.Header, options.exactCuts));
}

bool OutputRun::CutsOnFrames() const { return sonaveld::CutsOnFrames(file_.Header, options_.exactCuts); }

Status OutputRun::OpenSource() {
  source_ = FileSource::Open(file_.WaveFileName);
  if (!source_) return Status::Fail(MessageId::kCannotOpen, file_.WaveFileName);
  sourceSize_ = source_->Size();
  dataEnd_ = std::min(file_.Header.DataEnd, sourceSize_);
  // The header bytes must all be there, or the outputs would be built from a different file.
  if (sourceSize_ < file_.Header.DataOffset) {
    return Status::Fail(MessageId::kCannotRead, file_.WaveFileName);
  }
  return chunks_.Read(*source_, sourceSize_, file_.Header, file_.WaveFileName);
}

Status OutputRun::CheckOutputs(const std::vector<std::string>& outputPaths) {
  for (const auto& path : outputPaths) {
    if (IsSameFile(path, file_.WaveFileName)) return Status::Fail(MessageId::kCannotCreate, path);
  }
  const std::string firstOutput = outputPaths.empty() ? file_.WaveFileName : outputPaths.front();
  const int64_t freeBytes = options_.freeBytes ? options_.freeBytes(firstOutput) : FreeBytesForOutput(firstOutput);
  if (freeBytes < sourceSize_ && !host_.ConfirmLowSpace(FormatMessage(MessageId::kLowSpaceQuestion))) {
    return Status::Silent();
  }
  return Status::Ok();
}

OutputHeader OutputRun::HeaderFor(const std::vector<ByteStretch>& stretches, const std::string& title) const {
  OutputHeader header = chunks_.Header(stretches, title);
  if (PlannedBytes(header, stretches, chunks_.Trailing(stretches, title)) <= options_.largestRiff) return header;
  return chunks_.Header(stretches, title, 0, /*wide=*/true);
}

Result<std::unique_ptr<OutputFile>> OutputRun::CopyWaveHeader(const std::string& path, const OutputHeader& header) {
  // The header is built from the chunks read when the run began; a source that has lost them since
  // (cut short, replaced) is a different file now, and no output may claim to come from it.
  if (source_->Size() < file_.Header.DataOffset) return {Status::Fail(MessageId::kCannotRead, file_.WaveFileName)};
  auto out = OutputFile::Create(path, options_.openSink);
  if (!out) return {Status::Fail(MessageId::kCannotCreate, path)};
  if (!out->Write(header.bytes.data(), header.DataOffset())) return {Status::Fail(MessageId::kCannotWrite, path)};
  flags_.StatusHeld = true;
  flags_.Busy = true;
  return {Status::Ok(), std::move(out)};
}

Status OutputRun::CopyStretch(OutputFile& out, const ByteStretch& stretch) {
  int64_t done = 0;
  while (done < stretch.length) {
    const int64_t n = std::min(options_.blockBytes, stretch.length - done);
    flags_.CopyPos = stretch.begin + done;
    if (const ByteSink::Copy copy = copier_.Copy(*source_, out, flags_.CopyPos, n); copy != ByteSink::Copy::kDone) {
      return CopyFailure(copy, out);
    }
    done += n;
    flags_.CopyPos = stretch.begin + done;
    AfterBlock();
    if (flags_.AbortRequested) return Status::Stopped();
  }
  return Status::Ok();
}

Status OutputRun::CopyFailure(ByteSink::Copy copy, const OutputFile& out) const {
  // A source that shrank or could not be read would leave the output short of what it claims.
  return copy == ByteSink::Copy::kReadFailed ? Status::Fail(MessageId::kCannotRead, file_.WaveFileName)
                                             : Status::Fail(MessageId::kCannotWrite, out.path());
}

Status OutputRun::FinishOutput(OutputFile& out, const OutputHeader& header, const std::vector<ByteStretch>& stretches,
                               const std::string& title) {
  const int64_t w = out.written() - header.DataOffset();
  // The stretches as far as the w sample bytes reach.
  std::vector<ByteStretch> copied;
  int64_t left = w;
  for (const ByteStretch& s : stretches) {
    copied.push_back({s.begin, std::min(s.length, left)});
    left -= copied.back().length;
  }
  const OutputHeader* written = &header;
  OutputHeader shorter;
  if (copied != stretches) {
    shorter = chunks_.Header(copied, title, header.DataOffset(), header.wide);
    if (shorter.DataOffset() == header.DataOffset()) {
      if (!out.WriteAt(0, shorter.bytes.data(), shorter.DataOffset())) {
        return CopyFailure(ByteSink::Copy::kWriteFailed, out);
      }
      written = &shorter;
    }
  }
  if (Status carried = CarryChunks(out, chunks_.Trailing(copied, title), w); !carried.ok()) return carried;
  return PatchWaveSizes(out, *written, w);
}

Status OutputRun::CarryChunks(OutputFile& out, const std::vector<TrailingPiece>& pieces, int64_t w) {
  if (pieces.empty()) return Status::Ok();
  static constexpr uint8_t kPad = 0;
  if ((w & 1) != 0 && !out.Write(&kPad, 1)) return CopyFailure(ByteSink::Copy::kWriteFailed, out);
  for (const TrailingPiece& piece : pieces) {
    if (!piece.bytes.empty()) {
      if (!out.Write(piece.bytes.data(), static_cast<int64_t>(piece.bytes.size()))) {
        return CopyFailure(ByteSink::Copy::kWriteFailed, out);
      }
      continue;
    }
    for (int64_t done = 0; done < piece.source.length;) {
      const int64_t n = std::min(options_.blockBytes, piece.source.length - done);
      const ByteSink::Copy copy = copier_.Copy(*source_, out, piece.source.begin + done, n);
      if (copy != ByteSink::Copy::kDone) return CopyFailure(copy, out);
      done += n;
    }
  }
  return Status::Ok();
}

void OutputRun::AfterBlock() {
  if (!idle_.Due()) return;
  host_.PanelChanged(OutputHost::Panel::kCreating);
  host_.Idle();
}

Status OutputRun::FinishCopy(OutputFile& out, const OutputHeader& header, const std::vector<TrailingPiece>& trailing,
                             int64_t w) {
  if (Status carried = CarryChunks(out, trailing, w); !carried.ok()) return carried;
  return PatchWaveSizes(out, header, w, false);
}

Status OutputRun::PatchWaveSizes(OutputFile& out, const OutputHeader& header, int64_t w, bool setFact) {
  const int64_t factCount = setFact && CutsOnFrames() ? FactCountOffset(header.bytes.data(), header.DataOffset()) : -1;
  const int64_t frameBytes = std::max(1, file_.Header.FrameSize());
  // A fact count past 32 bits says "see ds64", as the size fields do.
  const auto frames = static_cast<uint32_t>(factCount < 0 ? 0 : std::min<int64_t>(w / frameBytes, kSizeInDs64));
  const WaveSizes sizes{header.wide, header.DataOffset() - 4, out.written(), w, w / frameBytes};
  const bool ok = WriteWaveSizes(out, sizes) && (factCount < 0 || out.WriteU32At(factCount, frames)) && out.Commit();
  if (!ok) return Status::Fail(MessageId::kCannotWrite, out.path());
  return Status::Ok();
}

void OutputRun::Completed(const std::string& path) {
  written_.push_back(path);
  host_.FileWritten(path);
}

OutputResult OutputRun::End(const Status& status) {
  source_.reset();
  flags_.Busy = false;
  flags_.AbortRequested = false;
  if (status.ok()) host_.PanelChanged(OutputHost::Panel::kFinished);
  if (status.stopped()) host_.PanelChanged(OutputHost::Panel::kStopped);
  return {status, std::move(written_), std::move(partial_)};
}

std::string PartialOutput::Message(const std::string& name) const {
  return FormatMessage(MessageId::kPartialOutput, name, std::to_string(Percent()));
}

}  // namespace sonaveld
