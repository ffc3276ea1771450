#include "peaks/PeakSummary.h"

#include <algorithm>

#include "peaks/FrameChunks.h"
#include "peaks/SampleScan.h"

namespace sonaveld::peaks {
namespace {

constexpr int64_t kFirstBlockFrames = 256;

int64_t BlockCount(int64_t frames, int64_t blockFrames) { return (frames + blockFrames - 1) / blockFrames; }

}  // namespace

int64_t PeakSummary::BytesFor(const WaveHeader& h, int64_t blockFrames) {
  return BlockCount(h.Frames(), blockFrames) * LaneChannels(h.Samples()) * int64_t{sizeof(ChannelPeak)};
}

int64_t PeakSummary::BlockFramesFor(const WaveHeader& h) {
  int64_t blockFrames = kFirstBlockFrames;
  while (BytesFor(h, blockFrames) > kSummaryBudget) blockFrames *= 2;
  return blockFrames;
}

PeakSummary::PeakSummary(const WaveHeader& h, int64_t blockFrames)
    : header_(h), frames_(h.Frames()), blockFrames_(blockFrames), channels_(LaneChannels(h.Samples())) {
  blocks_.resize(static_cast<size_t>(BlockCount(frames_, blockFrames_) * channels_));
}

int64_t PeakSummary::Bytes() const { return static_cast<int64_t>(blocks_.size() * sizeof(ChannelPeak)); }

int64_t PeakSummary::BlockLast(int64_t k) const { return std::min((k + 1) * blockFrames_, frames_); }

std::optional<PeakSummary> PeakSummary::Build(ByteSource& source, const WaveHeader& h,
                                              const std::function<bool()>& stopRequested) {
  PeakSummary summary(h, BlockFramesFor(h));
  const int64_t b = summary.blockFrames_;
  const int64_t frameBytes = h.FrameSize();
  if (frameBytes == 0) return summary;
  // Chunks hold whole blocks, so every block lies inside one chunk.
  const int64_t chunkFrames = b * std::max<int64_t>(1, kReadBytes / (b * frameBytes));
  const bool complete =
      ReadFrameChunks(source, h, 1, summary.frames_, chunkFrames, [&](int64_t first, const uint8_t* bytes, int64_t n) {
        for (int64_t at = 0; at < n; at += b) {
          FramePeaks block;
          ScanFrames(h.Samples(), bytes + at * frameBytes, std::min(b, n - at), block);
          const int64_t k = (first - 1 + at) / b;
          for (int c = 0; c < summary.channels_; ++c) summary.blocks_[static_cast<size_t>(k * summary.channels_ + c)] = block.channel[c];
        }
        return !stopRequested();
      });
  if (!complete) return std::nullopt;
  return summary;
}

void PeakSummary::AddBlocks(int64_t firstBlock, int64_t lastBlock, FramePeaks& peaks) const {
  for (int c = 0; c < channels_; ++c) {
    ChannelPeak found = peaks.channel[c];
    for (int64_t k = firstBlock; k <= lastBlock; ++k) found.Add(blocks_[static_cast<size_t>(k * channels_ + c)]);
    peaks.channel[c] = found;
  }
}

FramePeaks PeakSummary::Range(ByteSource& source, int64_t first, int64_t last) const {
  FramePeaks peaks;
  first = std::max<int64_t>(first, 1);
  last = std::min(last, frames_);
  if (first > last) return peaks;
  int64_t firstBlock = (first - 1) / blockFrames_;
  int64_t lastBlock = (last - 1) / blockFrames_;
  if (first != BlockFirst(firstBlock)) {
    // The head covers part of a block (all of the range when it ends inside that block).
    peaks.Add(ScanFrameRange(source, header_, first, std::min(last, BlockLast(firstBlock))));
    if (firstBlock == lastBlock) return peaks;
    ++firstBlock;
  }
  if (last != BlockLast(lastBlock)) {
    peaks.Add(ScanFrameRange(source, header_, BlockFirst(lastBlock), last));
    --lastBlock;
  }
  AddBlocks(firstBlock, lastBlock, peaks);
  return peaks;
}

}  // namespace sonaveld::peaks
