#include "output/OutputRun.h"

#include <algorithm>

#include "io/FileChecks.h"
#include "output/FactChunk.h"

namespace sonaveld {
namespace {

// A block size of the copy in whole units (CopyUnit), at least one.
int64_t WholeUnits(int64_t bytes, int64_t unit) { return std::max<int64_t>(unit, bytes / unit * unit); }

}  // namespace

OutputRun::OutputRun(const FileFields& file, CreationFlags& flags, OutputHost& host, const OutputOptions& options)
    : file_(file),
      flags_(flags),
      host_(host),
      options_(options),
      copier_(std::min(kCopyBufferBytes, WholeUnits(options.blockBytes, CopyUnit(file.Header.Kind))),
              /*inKernel=*/true),
      idle_(options.idleInterval, IdleThrottle::First::kAtOnce) {
  options_.blockBytes = WholeUnits(options_.blockBytes, CopyUnit(file.Header.Kind));
}

Status OutputRun::OpenSource() {
  source_ = FileSource::Open(file_.WaveFileName);
  if (!source_) return Status::Fail(MessageId::kCannotOpen, file_.WaveFileName);
  sourceSize_ = source_->Size();
  dataEnd_ = std::min(file_.Header.DataEnd, sourceSize_);
  // The header bytes must all be there, or the outputs would be built from a different file.
  if (sourceSize_ < file_.Header.DataOffset) {
    return Status::Fail(MessageId::kCannotRead, file_.WaveFileName);
  }
  carried_ = FindCarriedChunks(*source_, sourceSize_, file_.Header);
  if (carried_.readError) return Status::Fail(MessageId::kCannotRead, file_.WaveFileName);
  return Status::Ok();
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

Result<std::unique_ptr<OutputFile>> OutputRun::CopyWaveHeader(const std::string& path) {
  auto out = OutputFile::Create(path, options_.openSink);
  if (!out) return {Status::Fail(MessageId::kCannotCreate, path)};
  const int64_t headerBytes = file_.Header.DataOffset;
  std::vector<uint8_t> header(static_cast<size_t>(headerBytes));
  if (source_->ReadAt(0, header.data(), headerBytes) != headerBytes) {
    return {Status::Fail(MessageId::kCannotRead, file_.WaveFileName)};
  }
  if (!out->Write(header.data(), headerBytes)) return {Status::Fail(MessageId::kCannotWrite, path)};
  // The 8/16-bit outputs keep every header byte but the two sizes, as they always have.
  factCount_ = CutsOnFrames(file_.Header.Kind) ? FactCountOffset(header.data(), headerBytes) : -1;
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

Status OutputRun::CarryChunks(OutputFile& out) {
  if (carried_.empty()) return Status::Ok();
  static constexpr uint8_t kPad = 0;
  if ((SampleBytes(out) & 1) != 0 && !out.Write(&kPad, 1)) return CopyFailure(ByteSink::Copy::kWriteFailed, out);
  for (const ByteStretch& stretch : carried_.stretches) {
    for (int64_t done = 0; done < stretch.length;) {
      const int64_t n = std::min(options_.blockBytes, stretch.length - done);
      const ByteSink::Copy copy = copier_.Copy(*source_, out, stretch.begin + done, n);
      if (copy != ByteSink::Copy::kDone) return CopyFailure(copy, out);
      done += n;
    }
  }
  if (carried_.padMissing && !out.Write(&kPad, 1)) return CopyFailure(ByteSink::Copy::kWriteFailed, out);
  return Status::Ok();
}

void OutputRun::AfterBlock() {
  if (!idle_.Due()) return;
  host_.PanelChanged(OutputHost::Panel::kCreating);
  host_.Idle();
}

Status OutputRun::PatchWaveSizes(OutputFile& out, int64_t w) {
  const auto frames = static_cast<uint32_t>(factCount_ < 0 ? 0 : w / FrameBytes(file_.Header.Kind));
  const bool ok = out.WriteU32At(4, static_cast<uint32_t>(out.written() - 8)) &&
                  out.WriteU32At(file_.Header.DataOffset - 4, static_cast<uint32_t>(w)) &&
                  (factCount_ < 0 || out.WriteU32At(factCount_, frames)) && out.Commit();
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
