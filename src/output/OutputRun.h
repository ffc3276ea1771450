#pragma once
#include <memory>
#include <string>
#include <vector>

#include "base/IdleThrottle.h"
#include "base/Result.h"
#include "document/Document.h"
#include "io/ByteCopier.h"
#include "io/ByteSource.h"
#include "output/CopyPlan.h"
#include "output/OutputChunks.h"
#include "output/OutputHost.h"

namespace sonaveld {

// The machinery one output command shares with the others: the source held open for the command,
// its chunks, each output's header, the chunked copy with idle, status and abort, the trailing
// chunks, the size fields and the end.
// Busy, AbortRequested, StatusHeld and CopyPos live in the caller's flags. Every step returns its
// status; a command goes on while they are ok and hands the last one to End().
class OutputRun {
 public:
  OutputRun(const FileFields& file, CreationFlags& flags, OutputHost& host, const OutputOptions& options);

  // Opens the source for the run ("ファイル %s は開けません") and reads its chunks, those before the
  // samples and those after them ("ファイル %s を読み込めません。" when that read fails).
  Status OpenSource();
  // Refuses an output that is the source itself ("ファイル %s を作成できません") before anything is
  // created, then asks the free-space question for the first output's volume (Silent unless Yes).
  Status CheckOutputs(const std::vector<std::string>& outputPaths);
  // End of the sample area for this run: data_end, or the source's size if the file is shorter now.
  int64_t DataEnd() const { return dataEnd_; }
  // True when this run cuts on frames: the 24/32-bit and float kinds, and every kind with exact cuts.
  bool CutsOnFrames() const;

  // The header of an output that copies these source stretches, in order, titled title when it is
  // a named piece (OutputChunks::Header): RIFF, or RF64 when the whole output as planned would pass
  // 0xFFFFFFFF bytes.
  OutputHeader HeaderFor(const std::vector<ByteStretch>& stretches, const std::string& title = {}) const;
  // Creates the output and writes header into it; sets StatusHeld and Busy. The open output, or the
  // create or write failure.
  Result<std::unique_ptr<OutputFile>> CopyWaveHeader(const std::string& path, const OutputHeader& header);
  // Copies the stretch in blocks, with the idle calls between them: Ok; Stopped when
  // AbortRequested was seen after a block; or the read or write failure.
  Status CopyStretch(OutputFile& out, const ByteStretch& stretch);
  // Completes an output whose header and samples are written, planned to copy stretches (fewer
  // bytes when it was stopped): a stopped output's header is rebuilt for what it holds, at the same
  // size; then its trailing chunks (a named piece's with its title), the size fields and the file
  // put in place under its name.
  // The write message when anything failed, the read message when a carried chunk could not be read.
  // Not stopped by an abort: an aborted output is a complete file of the same recording.
  Status FinishOutput(OutputFile& out, const OutputHeader& header, const std::vector<ByteStretch>& stretches,
                      const std::string& title = {});
  // Completes an output of the whole sample area w bytes long (a copy, not a cut) with the
  // trailing pieces given: they are appended (a 0 pad byte first when w is odd), the RIFF size and
  // the data size set, the fact chunk left as it is, and the file put in place. The write message,
  // or the read message when a piece could not be read.
  Status FinishCopy(OutputFile& out, const OutputHeader& header, const std::vector<TrailingPiece>& trailing, int64_t w);
  // The source held open for the run (after OpenSource), and its size then.
  ByteSource& Source() { return *source_; }
  int64_t SourceSize() const { return sourceSize_; }
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
  // Appends what follows the samples, with a 0 pad byte first when the samples (w bytes) are odd;
  // nothing when there is nothing.
  Status CarryChunks(OutputFile& out, const std::vector<TrailingPiece>& pieces, int64_t w);
  // Writes the RIFF size (the whole file less 8 bytes) and the data size w (the sample bytes) into
  // the header written (RF64: into its "ds64", the 32-bit fields 0xFFFFFFFF), and where the run cuts on frames the frame count of a "fact" chunk before
  // the samples (w div FrameBytes), then puts the file in place under its name.
  Status PatchWaveSizes(OutputFile& out, const OutputHeader& header, int64_t w, bool setFact = true);
  const FileFields& file_;
  CreationFlags& flags_;
  OutputHost& host_;
  OutputOptions options_;
  std::unique_ptr<FileSource> source_;
  int64_t sourceSize_ = 0;
  int64_t dataEnd_ = 0;
  OutputChunks chunks_;
  ByteCopier copier_;  // in the kernel where possible, else through a buffer of at most one block
  IdleThrottle idle_;
  std::vector<std::string> written_;  // outputs completed, in order
  std::optional<PartialOutput> partial_;
};

}  // namespace sonaveld
