#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/IdleThrottle.h"
#include "base/Status.h"
#include "io/OutputFile.h"
#include "output/PieceNames.h"

namespace sonaveld {

// What the caller of an output command provides: the free-space question, and the hooks through
// which the long copy keeps the caller alive and informed. Called on the caller's thread.
class OutputHost {
 public:
  // "ファイル作成中" (red), "ファイル作成終了" (dark green), "ファイル作成中止" (a stop ended the write)
  enum class Panel { kCreating, kFinished, kStopped };

  virtual ~OutputHost() = default;
  // The free-space question (Yes/No); true only for Yes.
  virtual bool ConfirmLowSpace(const std::string& question) = 0;
  // Lets the caller process pending events; AbortRequested is polled right after.
  virtual void Idle() {}
  // The status panel's text changed.
  virtual void PanelChanged(Panel) {}
  // An output file is complete under its final name (not called for one a stop cut short).
  virtual void FileWritten(const std::string&) {}
};

// How the copy runs. The defaults copy in blocks of about 8 MB (abort is polled between blocks) and
// call Idle at most every 20 ms, the first time after the first block; tests use 200-byte blocks
// and an Idle after every block.
struct OutputOptions {
  int64_t blockBytes = 200 * 40960;  // rounded down to whole copy units (CopyUnit), at least one
  std::chrono::milliseconds idleInterval = IdleThrottle::kInterval;
  SinkOpener openSink;  // empty: real files
  // Free bytes on the volume of an output's folder; empty: FreeBytesForOutput.
  std::function<int64_t(const std::string& outputPath)> freeBytes;
  // Cut the 8/16-bit kinds exactly on the frames too, as the 24/32-bit and float kinds always are
  // ("フレーム単位で正確に切る", --exact); off: their 200-byte chunk rule.
  bool exactCuts = false;
  // The split commands' pieces named by the marks they start at (PieceOutputName, and the name as
  // the output's INFO title); empty: numbered names, outputs as without names.
  PieceNames names;
  // Outputs larger than this many bytes are written as RF64; the largest a RIFF can describe unless
  // a test asks for RF64 at a smaller size.
  int64_t largestRiff = int64_t{0xFFFFFFFF} + 8;
};

// The output a stop ended part-way: a valid WAV file under its name, shorter than planned.
struct PartialOutput {
  std::string path;
  int64_t sampleBytes = 0;   // sample bytes written
  int64_t plannedBytes = 0;  // sample bytes the output would have had

  // sampleBytes of plannedBytes in whole percent, truncated.
  int Percent() const { return plannedBytes > 0 ? static_cast<int>(sampleBytes * 100 / plannedBytes) : 0; }
  // "<name>は途中まで（N%）です", name standing for the file (its path or its name alone).
  std::string Message(const std::string& name) const;
};

struct OutputResult {
  // Ok; Silent (the free-space question was declined, nothing written); Stopped (AbortRequested
  // ended the command, the files written are complete); or the failure's message.
  Status status;
  std::vector<std::string> written;  // outputs completed, in order
  // After a stop, the output it cut short (not among written); none when the stop fell between
  // two outputs.
  std::optional<PartialOutput> partial;
};

}  // namespace sonaveld
