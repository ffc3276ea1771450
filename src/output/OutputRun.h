#pragma once
#include <memory>
#include <string>
#include <vector>

#include "base/IdleThrottle.h"
#include "base/Result.h"
#include "document/Document.h"
#include "io/ByteCopier.h"
#include "io/ByteSource.h"
#include "output/CarriedChunks.h"
#include "output/CopyPlan.h"
#include "output/OutputHost.h"

namespace sonaveld {

// The machinery one output command shares with the others: the source held open for the command,
// the header copy, the chunked copy with idle, status and abort, the size fields and the end.
// Busy, AbortRequested, StatusHeld and CopyPos live in the caller's flags. Every step returns its
// status; a command goes on while they are ok and hands the last one to End().
class OutputRun {
 public:
  OutputRun(const FileFields& file, CreationFlags& flags, OutputHost& host, const OutputOptions& options);

  // Opens the source for the run ("ファイル %s は開けません") and finds the chunks after its sample
  // data that every output carries ("ファイル %s を読み込めません。" when that read fails).
  Status OpenSource();
  // Refuses an output that is the source itself ("ファイル %s を作成できません") before anything is
  // created, then asks the free-space question for the first output's volume (Silent unless Yes).
  Status CheckOutputs(const std::vector<std::string>& outputPaths);
  // End of the sample area for this run: data_end, or the source's size if the file is shorter now.
  int64_t DataEnd() const { return dataEnd_; }

  // Creates the output and copies the source's bytes before DataOffset into it; sets StatusHeld
  // and Busy. The open output, or the create, read or write failure.
  Result<std::unique_ptr<OutputFile>> CopyWaveHeader(const std::string& path);
  // Copies the stretch in blocks, with the idle calls between them: Ok; Stopped when
  // AbortRequested was seen after a block; or the read or write failure.
  Status CopyStretch(OutputFile& out, const ByteStretch& stretch);
  // The sample bytes written to out so far (W).
  int64_t SampleBytes(const OutputFile& out) const { return out.written() - file_.Header.DataOffset; }
  // Appends the carried chunks after the samples, with a 0 pad byte first when the sample bytes are
  // odd; nothing when there are none. Not stopped by an abort: an aborted output is a complete file
  // of the same recording.
  Status CarryChunks(OutputFile& out);
  // Writes the RIFF size (the whole file less 8 bytes) and the data size w (the sample bytes), and
  // for the kinds that cut on frames the frame count of a "fact" chunk before the samples (w div
  // FrameBytes), then puts the file in place under its name; the write message when anything failed.
  Status PatchWaveSizes(OutputFile& out, int64_t w);
  // Records an output put in place: complete (told to the host), or cut short by a stop.
  void Completed(const std::string& path);
  void CutShort(PartialOutput partial) { partial_ = std::move(partial); }
  // Ends the command with its status: Busy and AbortRequested to 0, the finished text when it
  // completed, the stopped text when it was stopped; the result with the outputs completed and
  // the one cut short.
  OutputResult End(const Status& status);

 private:
  void AfterBlock();
  // The failure message of a copy that did not finish.
  Status CopyFailure(ByteSink::Copy copy, const OutputFile& out) const;
  const FileFields& file_;
  CreationFlags& flags_;
  OutputHost& host_;
  OutputOptions options_;
  std::unique_ptr<FileSource> source_;
  int64_t sourceSize_ = 0;
  int64_t dataEnd_ = 0;
  CarriedChunks carried_;
  int64_t factCount_ = -1;  // offset of the fact chunk's frame count in the outputs; -1: none to set
  ByteCopier copier_;  // in the kernel where possible, else through a buffer of at most one block
  IdleThrottle idle_;
  std::vector<std::string> written_;  // outputs completed, in order
  std::optional<PartialOutput> partial_;
};

}  // namespace sonaveld
