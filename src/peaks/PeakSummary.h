#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "peaks/FramePeaks.h"

namespace sonaveld::peaks {

// Most bytes a summary may hold; with the read buffer of its build the document's extra memory
// stays below 16 MiB whatever the file size.
constexpr int64_t kSummaryBudget = int64_t{8} << 20;

// Min/max per channel of every block of B consecutive frames of a document's sample area (the
// last block may be shorter), so that the peaks of any frame range cost one pass over its whole
// blocks plus direct reads of at most two partial blocks. Built once, then read only: it may be
// read from any thread once built.
class PeakSummary {
 public:
  // Block size for h: 256 frames, doubled until the summary fits kSummaryBudget.
  static int64_t BlockFramesFor(const WaveHeader& h);
  // Bytes the summary of h holds with blocks of blockFrames.
  static int64_t BytesFor(const WaveHeader& h, int64_t blockFrames);

  // Reads h's whole sample area from source in reads of about 1 MiB and summarizes it.
  // stopRequested is asked after every read; nullopt when it said yes, a read failed or the
  // file ended before h's last frame.
  static std::optional<PeakSummary> Build(ByteSource& source, const WaveHeader& h,
                                          const std::function<bool()>& stopRequested);

  // Min/max per channel of frames first..last (1-based, clamped to the sample area): the whole
  // blocks from the summary, the partial blocks at the ends read from source (the same file).
  FramePeaks Range(ByteSource& source, int64_t first, int64_t last) const;

  int64_t BlockFrames() const { return blockFrames_; }
  // Bytes held by the summary.
  int64_t Bytes() const;

 private:
  PeakSummary(const WaveHeader& h, int64_t blockFrames);
  // Frames of block k (0-based): first and last, 1-based.
  int64_t BlockFirst(int64_t k) const { return k * blockFrames_ + 1; }
  int64_t BlockLast(int64_t k) const;
  void AddBlocks(int64_t firstBlock, int64_t lastBlock, FramePeaks& peaks) const;

  WaveHeader header_;
  int64_t frames_;
  int64_t blockFrames_;
  int channels_;
  std::vector<ChannelPeak> blocks_;  // block k, channel c at k * channels_ + c
};

}  // namespace sonaveld::peaks
