#pragma once
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "document/ByteSource.h"
#include "document/Document.h"
#include "output/CopyPlan.h"
#include "output/OutputHost.h"

namespace sonaveld {

// The machinery one output command shares with the others: the source held open for the command,
// the header copy, the chunked copy with idle, status and abort, the size fields and the end.
// Busy, AbortRequested, StatusHeld and CopyPos live in the caller's flags.
class OutputRun {
 public:
  OutputRun(const FileFields& file, CreationFlags& flags, OutputHost& host, const OutputOptions& options);

  // Opens the source for the run ("ファイル %s は開けません").
  Status OpenSource();
  // Refuses an output that is the source itself ("ファイル %s を作成できません") before anything is
  // created, then asks the free-space question for the first output's volume (Silent unless Yes).
  Status CheckOutputs(const std::vector<std::string>& outputPaths);
  // End of the sample area for this run: data_end, or the source's size if the file is shorter now.
  int64_t DataEnd() const { return dataEnd_; }

  // CopyWaveHeader: creates the output and copies the source's bytes before DataOffset; sets
  // StatusHeld and Busy. nullptr and status set on failure.
  std::unique_ptr<OutputFile> CopyWaveHeader(const std::string& path, Status* status);
  // CopyRange: copies the stretch in blocks; returns false on a failure (status set). *aborted is set
  // when AbortRequested was seen after a block.
  bool CopyStretch(OutputFile& out, const ByteStretch& stretch, bool* aborted, Status* status);
  // PatchWaveSizes: writes the RIFF and data sizes from the sample bytes written and renames the file
  // into place. false with the write message when anything failed.
  bool PatchWaveSizes(OutputFile& out, Status* status);
  // EndOutput: Busy and AbortRequested to 0; the finished text when the command succeeded.
  void End(bool succeeded);

  OutputResult& result() { return result_; }

 private:
  void AfterBlock();
  // Copies n source bytes from offset to the end of out: in the kernel where possible, else
  // through the buffer.
  ByteSink::Copy CopyBlock(OutputFile& out, int64_t offset, int64_t n);
  const FileFields& file_;
  CreationFlags& flags_;
  OutputHost& host_;
  OutputOptions options_;
  std::unique_ptr<FileSource> source_;
  int64_t sourceSize_ = 0;
  int64_t dataEnd_ = 0;
  std::vector<uint8_t> buffer_;
  bool kernelCopy_ = true;
  std::chrono::steady_clock::time_point lastIdle_{};
  OutputResult result_;
};

}  // namespace sonaveld
