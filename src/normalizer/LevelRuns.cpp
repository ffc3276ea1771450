#include "normalizer/LevelRuns.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "normalizer/BlockReader.h"
#include "normalizer/SampleGain.h"

namespace sonaveld {
namespace {

static_assert(std::endian::native == std::endian::little, "samples are handled as little-endian words");

// Calls the idle hook after a full block, but at most once per interval.
class IdleGate {
 public:
  explicit IdleGate(const RunHooks& hooks) : hooks_(hooks), last_(Clock::now()) {}
  bool Due() {
    if (!hooks_.idle) return false;
    const auto now = Clock::now();
    if (now - last_ < std::chrono::milliseconds(kIdleIntervalMs)) return false;
    last_ = now;
    return true;
  }
  void Call() { hooks_.idle(); }

 private:
  using Clock = std::chrono::steady_clock;
  const RunHooks& hooks_;
  Clock::time_point last_;
};

bool StopAsked(const RunHooks& hooks) { return hooks.stopTest && hooks.stopTest(); }

// Per-block sums of absolute values and sample counts, signed 32-bit as in the block arithmetic.
struct BlockSums {
  int32_t sum[2] = {0, 0};
  int32_t count[2] = {0, 0};
};

inline int SampleAt16(const uint8_t* p, int64_t i) {
  int16_t s;
  std::memcpy(&s, p + 2 * i, 2);
  return s;
}

// Measures the samples of one block: the peaks always, the sums only for a full block.
template <bool kSixteen, bool kStereo>
void MeasureBlock(const uint8_t* data, int64_t n, bool full, ChannelLevels& levels, BlockSums& sums) {
  const int64_t samples = kSixteen ? n / 2 : n;
  int32_t peak[2] = {levels.channel[0].peak, levels.channel[1].peak};
  int32_t sum[2] = {0, 0};
  for (int64_t i = 0; i < samples; ++i) {
    const int s = kSixteen ? SampleAt16(data, i) : static_cast<int>(data[i]) - 128;
    const int32_t a = s < 0 ? -s : s;
    const int c = kStereo ? static_cast<int>(i & 1) : 0;
    peak[c] = std::max(peak[c], a);
    sum[c] += a;
  }
  levels.channel[0].peak = peak[0];
  levels.channel[1].peak = peak[1];
  if (!full) return;
  sums.sum[0] = sum[0];
  sums.sum[1] = sum[1];
  sums.count[0] = static_cast<int32_t>(kStereo ? samples / 2 : samples);
  sums.count[1] = static_cast<int32_t>(kStereo ? samples / 2 : 0);
}

void MeasureAny(FormatKind kind, const uint8_t* data, int64_t n, bool full, ChannelLevels& levels, BlockSums& sums) {
  switch (kind) {
    case FormatKind::kStereo16: return MeasureBlock<true, true>(data, n, full, levels, sums);
    case FormatKind::kMono16: return MeasureBlock<true, false>(data, n, full, levels, sums);
    case FormatKind::kStereo8: return MeasureBlock<false, true>(data, n, full, levels, sums);
    case FormatKind::kMono8: return MeasureBlock<false, false>(data, n, full, levels, sums);
    case FormatKind::kNone: return;
  }
}

// Maps the samples of one block through the channel tables into out (n bytes).
void ScaleBlock(FormatKind kind, const GainTable* tables, const uint8_t* in, int64_t n, uint8_t* out) {
  const int stereoMask = IsStereo(kind) ? 1 : 0;
  if (IsSixteenBit(kind)) {
    const int64_t samples = n / 2;
    for (int64_t i = 0; i < samples; ++i) {
      uint16_t raw;
      std::memcpy(&raw, in + 2 * i, 2);
      const uint16_t v = tables[i & stereoMask].Map16(raw);
      std::memcpy(out + 2 * i, &v, 2);
    }
    if (n % 2 == 1) out[n - 1] = in[n - 1];  // the unpaired last byte stays as it was
  } else {
    for (int64_t i = 0; i < n; ++i) out[i] = tables[i & stereoMask].Map8(in[i]);
  }
}

}  // namespace

int64_t BlockCount(const SampleArea& area) { return area.fileSize / BlockBytes(area.kind) + 1; }

int64_t ProgressMaximum(const SampleArea& area) { return area.fileSize / BlockBytes(area.kind) - 1; }

RunEnd MeasureLevels(ByteSource& source, const SampleArea& area, ChannelLevels& levels, const RunHooks& hooks) {
  const int64_t blockBytes = BlockBytes(area.kind);
  const int64_t blocks = BlockCount(area);
  const int channels = IsStereo(area.kind) ? 2 : 1;
  BlockReader reader(source, area.offset, area.end, blockBytes, kBlocksPerRead);
  IdleGate idle(hooks);
  for (int64_t k = 0; k < blocks; ++k) {
    const uint8_t* data = nullptr;
    const int64_t n = reader.Next(&data);
    if (n < 0) return RunEnd::kReadError;
    if (StopAsked(hooks)) return RunEnd::kStopped;
    BlockSums sums;
    MeasureAny(area.kind, data, n, n == blockBytes, levels, sums);
    if (n != blockBytes) break;
    if (idle.Due()) idle.Call();
    for (int c = 0; c < channels; ++c) levels.channel[c].total += sums.sum[c] / sums.count[c];
  }
  for (int c = 0; c < channels; ++c) {
    ChannelLevel& level = levels.channel[c];
    int64_t average = level.total / blocks;
    if (!IsSixteenBit(area.kind)) average /= 2;
    level.average = static_cast<int32_t>(average);
  }
  return RunEnd::kDone;
}

RunEnd ScaleSamples(ByteSource& source, OutputFile& output, const SampleArea& area, NormalizeMode mode,
                    float factor, const ChannelLevels& levels, const RunHooks& hooks) {
  const int64_t blockBytes = BlockBytes(area.kind);
  const int64_t blocks = BlockCount(area);
  const int64_t maximum = ProgressMaximum(area);
  // Two tables of 128 KiB: kept off the stack.
  auto tables = std::make_unique<GainTable[]>(2);
  for (int c = 0; c < 2; ++c) {
    tables[c].Build(IsSixteenBit(area.kind), mode, factor, ChosenLevel(levels.channel[c], mode));
  }
  BlockReader reader(source, area.offset, area.end, blockBytes, kBlocksPerRead);
  std::vector<uint8_t> out(static_cast<size_t>(blockBytes * kBlocksPerRead));
  int64_t pending = 0;  // scaled bytes in out not yet written
  auto flush = [&] {
    const bool ok = output.Write(out.data(), pending);
    pending = 0;
    return ok;
  };
  IdleGate idle(hooks);
  for (int64_t k = 0; k < blocks; ++k) {
    const uint8_t* data = nullptr;
    const int64_t n = reader.Next(&data);
    if (n < 0) return RunEnd::kReadError;
    if (hooks.progress) hooks.progress(k, maximum);
    if (StopAsked(hooks)) return RunEnd::kStopped;
    if (pending + blockBytes > static_cast<int64_t>(out.size()) && !flush()) return RunEnd::kWriteError;
    ScaleBlock(area.kind, tables.get(), data, n, out.data() + pending);
    pending += n;
    if (n != blockBytes) break;
    if (idle.Due()) {
      // The blocks scaled so far reach the file before the caller gets control.
      if (!flush()) return RunEnd::kWriteError;
      idle.Call();
    }
  }
  return flush() ? RunEnd::kDone : RunEnd::kWriteError;
}

}  // namespace sonaveld
