#include "normalizer/LevelRuns.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "base/IdleThrottle.h"
#include "normalizer/BlockReader.h"
#include "normalizer/SampleKernels.h"
#include "normalizer/SampleMapper.h"

namespace sonaveld {
namespace {

bool StopAsked(const RunHooks& hooks) { return hooks.stopTest && hooks.stopTest(); }

Status ReadFailure(const SampleArea& area) { return Status::Fail(MessageId::kCannotOpen, area.path); }

Status WriteFailure(const OutputFile& output) { return Status::Fail(MessageId::kEntryCannotWrite, output.path()); }

}  // namespace

int64_t BlockCount(const SampleArea& area) { return area.fileSize / BlockBytes(area.kind) + 1; }

int64_t ProgressMaximum(const SampleArea& area) { return area.fileSize / BlockBytes(area.kind) - 1; }

Status MeasureLevels(ByteSource& source, const SampleArea& area, ChannelLevels& levels, const RunHooks& hooks) {
  const int64_t blockBytes = BlockBytes(area.kind);
  const int64_t blocks = BlockCount(area);
  const int channels = IsStereo(area.kind) ? 2 : 1;
  BlockReader reader(source, area.offset, area.end, blockBytes, kBlocksPerRead);
  IdleThrottle idle;
  for (int64_t k = 0; k < blocks; ++k) {
    const uint8_t* data = nullptr;
    const int64_t n = reader.Next(&data);
    if (n < 0) return ReadFailure(area);
    if (hooks.measureProgress) hooks.measureProgress(k, blocks);
    if (StopAsked(hooks)) return Status::Stopped();
    BlockStats stats;
    if (!reader.Use([&] { stats = MeasureSamples(area.kind, data, n); })) return ReadFailure(area);
    for (int c = 0; c < channels; ++c) levels.channel[c].peak = std::max(levels.channel[c].peak, stats.peak[c]);
    if (n != blockBytes) break;  // a short block counts for the peaks only
    if (hooks.idle && idle.Due()) hooks.idle();
    for (int c = 0; c < channels; ++c) levels.channel[c].total += stats.sum[c] / stats.count[c];
  }
  for (int c = 0; c < channels; ++c) {
    ChannelLevel& level = levels.channel[c];
    int64_t average = level.total / blocks;
    if (!IsSixteenBit(area.kind)) average /= 2;
    level.average = static_cast<int32_t>(average);
  }
  return Status::Ok();
}

Status ScaleSamples(ByteSource& source, OutputFile& output, const SampleArea& area, NormalizeMode mode,
                    float factor, const ChannelLevels& levels, const RunHooks& hooks) {
  const int64_t blockBytes = BlockBytes(area.kind);
  const int64_t blocks = BlockCount(area);
  const int64_t maximum = ProgressMaximum(area);
  SampleMapper mapper;
  mapper.Prepare(area.kind, mode, factor, levels);
  BlockReader reader(source, area.offset, area.end, blockBytes, kBlocksPerRead);
  std::vector<uint8_t> out(static_cast<size_t>(blockBytes * kBlocksPerRead));
  int64_t pending = 0;  // scaled bytes in out not yet written
  auto flush = [&] {
    const bool ok = output.Write(out.data(), pending);
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
    if (pending + blockBytes > static_cast<int64_t>(out.size()) && !flush()) return WriteFailure(output);
    if (!reader.Use([&] { mapper.Map(data, n, out.data() + pending); })) return ReadFailure(area);
    pending += n;
    if (n != blockBytes) break;
    if (hooks.idle && idle.Due()) {
      // The blocks scaled so far reach the file before the caller gets control.
      if (!flush()) return WriteFailure(output);
      hooks.idle();
    }
  }
  return flush() ? Status::Ok() : WriteFailure(output);
}

}  // namespace sonaveld
