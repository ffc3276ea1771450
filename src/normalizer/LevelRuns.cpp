#include "normalizer/LevelRuns.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "base/IdleThrottle.h"
#include "io/OverlappedWriter.h"
#include "normalizer/BlockReader.h"
#include "normalizer/ClipCount.h"
#include "normalizer/PlainGainMapper.h"
#include "normalizer/PolyChannels.h"
#include "normalizer/SampleKernels.h"
#include "normalizer/SampleMapper.h"

namespace sonaveld {
namespace {

bool StopAsked(const RunHooks& hooks) { return hooks.stopTest && hooks.stopTest(); }

Status ReadFailure(const SampleArea& area) { return Status::Fail(MessageId::kCannotOpen, area.path); }

Status WriteFailure(const OutputFile& output) { return Status::Fail(MessageId::kEntryCannotWrite, output.path()); }

// Adds a block's statistics to the levels of the kind's channels from first on: the peaks, and
// for a full block each channel's mean (integer kinds: the 64-bit sum div the count, truncated;
// float: the extended sum / the count of finite samples, none when there are none).
void AddBlock(FormatKind kind, const BlockStats& stats, bool full, ChannelLevel* first) {
  for (int c = 0; c < ChannelsOf(kind); ++c) {
    ChannelLevel& level = first[c];
    level.peak = std::max(level.peak, stats.peak[c]);
    level.floatPeak = std::max(level.floatPeak, stats.floatPeak[c]);
    if (!full || stats.count[c] == 0) continue;
    if (IsFloatKind(kind)) {
      level.floatTotal = level.floatTotal + stats.floatSum[c] / Extended(stats.count[c]);
    } else {
      level.total += stats.sum[c] / stats.count[c];
    }
  }
}

// The averages: total div N (truncated; the 8-bit kinds halve it again, and the 8/16-bit kinds
// keep its low 32 bits), the float kinds' total / N in extended precision.
void SetAverages(FormatKind kind, int64_t blocks, ChannelLevel* first) {
  for (int c = 0; c < ChannelsOf(kind); ++c) {
    ChannelLevel& level = first[c];
    if (IsFloatKind(kind)) {
      level.floatAverage = level.floatTotal / Extended(blocks);
    } else if (IsWide(kind)) {
      level.average = level.total / blocks;
    } else {
      const auto average = static_cast<int32_t>(level.total / blocks);
      level.average = IsEightBit(kind) ? average / 2 : average;
    }
  }
}

// Adds the statistics of the first n bytes of a block to the levels; a file of 3 to 8 channels
// adds each channel as a mono file's.
void MeasureBlock(const SampleArea& area, const uint8_t* data, int64_t n, bool full, ChannelLevels& levels) {
  if (area.kind != FormatKind::kNone) return AddBlock(area.kind, MeasureSamples(area.kind, data, n), full, levels.channel);
  const SampleLayout layout = area.Samples();
  BlockStats stats[kMaxChannels];
  MeasurePolyBlock(layout, data, n, stats);
  for (int c = 0; c < layout.channels; ++c) AddBlock(MonoKindOf(layout), stats[c], full, &levels.channel[c]);
}

// The averages of every channel of the area from its levels' totals.
void SetAreaAverages(const SampleArea& area, int64_t blocks, ChannelLevels& levels) {
  if (area.kind != FormatKind::kNone) return SetAverages(area.kind, blocks, levels.channel);
  const SampleLayout layout = area.Samples();
  for (int c = 0; c < layout.channels; ++c) SetAverages(MonoKindOf(layout), blocks, &levels.channel[c]);
}

// Maps the first n bytes of a block from in to out (blocks come in file order).
using BlockMap = std::function<void(const uint8_t* in, int64_t n, uint8_t* out)>;

// The scaling run of either gain: reads the sample area block by block, maps each block and
// appends it to output.
Status MapArea(ByteSource& source, OutputFile& output, const SampleArea& area, const BlockMap& map,
               const RunHooks& hooks) {
  const int64_t blockBytes = BlockBytes(area.Samples());
  const int64_t blocks = BlockCount(area);
  const int64_t maximum = ProgressMaximum(area);
  BlockReader reader(source, area.offset, area.end, blockBytes, kBlocksPerRead);
  // The scaled blocks are written on a second thread while the next ones are scaled.
  OverlappedWriter writer(output, blockBytes * 256);
  int64_t pending = 0;  // scaled bytes in the writer's buffer not yet handed over
  auto flush = [&] {
    const bool ok = writer.Submit(pending);
    pending = 0;
    return ok;
  };
  IdleThrottle idle;
  for (int64_t k = 0; k < blocks; ++k) {
    const uint8_t* data = nullptr;
    const int64_t n = reader.Next(&data);
    if (n < 0) return ReadFailure(area);
    if (hooks.progress) hooks.progress(k, maximum);
    if (StopAsked(hooks)) return Status::Stopped();
    if (pending + blockBytes > writer.bufferBytes() && !flush()) return WriteFailure(output);
    if (!reader.Use([&] { map(data, n, writer.Buffer() + pending); })) return ReadFailure(area);
    pending += n;
    if (n != blockBytes) break;
    if (hooks.idle && idle.Due()) {
      // The blocks scaled so far reach the file before the caller gets control.
      if (!flush() || !writer.Drain()) return WriteFailure(output);
      hooks.idle();
    }
  }
  return flush() && writer.Drain() ? Status::Ok() : WriteFailure(output);
}

// ScaleSamples for a file of 3 to 8 channels: each channel by its own gain, as a mono file's.
Status ScalePoly(ByteSource& source, OutputFile& output, const SampleArea& area, NormalizeMode mode, float factor,
                 const ChannelLevels& levels, const RunHooks& hooks, int64_t* clipped) {
  const SampleLayout layout = area.Samples();
  PolyMapper mapper(layout, mode, factor, levels);
  const bool count = clipped != nullptr && mapper.countsClips();
  const Status status = MapArea(source, output, area, [&](const uint8_t* in, int64_t n, uint8_t* out) {
    mapper.Map(in, n, out, count);
  }, hooks);
  for (int c = 0; clipped != nullptr && c < layout.channels; ++c) clipped[c] = mapper.clipped(c);
  return status;
}

}  // namespace

int64_t BlockCount(const SampleArea& area) { return area.fileSize / BlockBytes(area.Samples()) + 1; }

int64_t ProgressMaximum(const SampleArea& area) { return area.fileSize / BlockBytes(area.Samples()) - 1; }

Status MeasureLevels(ByteSource& source, const SampleArea& area, ChannelLevels& levels, const RunHooks& hooks) {
  const int64_t blockBytes = BlockBytes(area.Samples());
  const int64_t blocks = BlockCount(area);
  BlockReader reader(source, area.offset, area.end, blockBytes, kBlocksPerRead);
  IdleThrottle idle;
  for (int64_t k = 0; k < blocks; ++k) {
    const uint8_t* data = nullptr;
    const int64_t n = reader.Next(&data);
    if (n < 0) return ReadFailure(area);
    if (hooks.measureProgress) hooks.measureProgress(k, blocks);
    if (StopAsked(hooks)) return Status::Stopped();
    const bool full = n == blockBytes;  // a short block counts for the peaks only
    if (!reader.Use([&] { MeasureBlock(area, data, n, full, levels); })) return ReadFailure(area);
    if (!full) break;
    if (hooks.idle && idle.Due()) hooks.idle();
  }
  SetAreaAverages(area, blocks, levels);
  return Status::Ok();
}

Status ScaleSamples(ByteSource& source, OutputFile& output, const SampleArea& area, NormalizeMode mode,
                    float factor, const ChannelLevels& levels, const RunHooks& hooks, int64_t* clipped) {
  if (area.kind == FormatKind::kNone) return ScalePoly(source, output, area, mode, factor, levels, hooks, clipped);
  SampleMapper mapper;
  mapper.Prepare(area.kind, mode, factor, levels);
  const ChannelGain first(area.kind, mode, factor, ChosenLevel(area.kind, levels.channel[0], mode));
  const ChannelGain second(area.kind, mode, factor, ChosenLevel(area.kind, levels.channel[1], mode));
  ClipCounter counter(area.kind, first, second);
  const bool count = clipped != nullptr && counter.active();
  const Status status = MapArea(source, output, area, [&](const uint8_t* in, int64_t n, uint8_t* out) {
    mapper.Map(in, n, out);
    if (count) counter.Count(in, n);
  }, hooks);
  if (clipped != nullptr) clipped[0] = counter.clipped(0), clipped[1] = counter.clipped(1);
  return status;
}

Status ScalePlain(ByteSource& source, OutputFile& output, const SampleArea& area, double gain, bool dither,
                  const RunHooks& hooks, int64_t* clipped) {
  const SampleLayout layout = area.Samples();
  PlainGainMapper mapper(layout, gain, dither);
  const Status status = MapArea(source, output, area, [&](const uint8_t* in, int64_t n, uint8_t* out) {
    mapper.Map(in, n, out);
  }, hooks);
  for (int c = 0; clipped != nullptr && c < std::max(2, layout.channels); ++c) clipped[c] = mapper.clipped(c);
  return status;
}

}  // namespace sonaveld
