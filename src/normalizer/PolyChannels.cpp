#include "normalizer/PolyChannels.h"

#include <algorithm>
#include <cstring>

namespace sonaveld {
namespace {

// Channel c's samples among the first `samples` samples at from (starting on a frame) copied to
// the next places of to; returns how many there were. Sample bytes fixed, so the copies inline.
template <int Bytes>
int64_t GatherSamples(const uint8_t* from, int64_t samples, int channels, int c, uint8_t* to) {
  int64_t k = 0;
  for (int64_t i = c; i < samples; i += channels, ++k) std::memcpy(to + k * Bytes, from + i * Bytes, Bytes);
  return k;
}

template <int Bytes>
void ScatterSamples(const uint8_t* from, int64_t samples, int channels, int c, uint8_t* to) {
  int64_t k = 0;
  for (int64_t i = c; i < samples; i += channels, ++k) std::memcpy(to + i * Bytes, from + k * Bytes, Bytes);
}

// Gathers channel c's whole samples of the first n bytes of a block into to; returns their bytes.
int64_t Gather(const SampleLayout& layout, const uint8_t* in, int64_t n, int c, uint8_t* to) {
  const int bytes = layout.sampleBytes;
  const int64_t samples = n / bytes;
  switch (bytes) {
    case 1: return GatherSamples<1>(in, samples, layout.channels, c, to);
    case 2: return 2 * GatherSamples<2>(in, samples, layout.channels, c, to);
    case 3: return 3 * GatherSamples<3>(in, samples, layout.channels, c, to);
    default: return 4 * GatherSamples<4>(in, samples, layout.channels, c, to);
  }
}

// Puts channel c's gathered samples back in their places among the first n bytes of out.
void Scatter(const SampleLayout& layout, const uint8_t* from, int64_t n, int c, uint8_t* out) {
  const int bytes = layout.sampleBytes;
  const int64_t samples = n / bytes;
  switch (bytes) {
    case 1: return ScatterSamples<1>(from, samples, layout.channels, c, out);
    case 2: return ScatterSamples<2>(from, samples, layout.channels, c, out);
    case 3: return ScatterSamples<3>(from, samples, layout.channels, c, out);
    default: return ScatterSamples<4>(from, samples, layout.channels, c, out);
  }
}

// The levels of one channel as a mono file's.
ChannelLevels MonoLevels(const ChannelLevel& level) {
  ChannelLevels levels;
  levels.channel[0] = level;
  return levels;
}

}  // namespace

FormatKind MonoKindOf(const SampleLayout& layout) { return KindOf(layout.encoding, 1); }

void MeasurePolyBlock(const SampleLayout& layout, const uint8_t* data, int64_t n, BlockStats stats[kMaxChannels]) {
  // A block holds at most kBlockSamples samples of 4 bytes: one channel's fit here.
  alignas(32) uint8_t gathered[kBlockSamples * 4];
  n = std::min<int64_t>(n, BlockBytes(layout));
  for (int c = 0; c < layout.channels; ++c) {
    const int64_t bytes = Gather(layout, data, n, c, gathered);
    stats[c] = MeasureSamples(MonoKindOf(layout), gathered, bytes);
  }
}

PolyMapper::Channel::Channel(FormatKind mono, NormalizeMode mode, float factor, const ChannelLevel& level)
    : gain(mono, mode, factor, ChosenLevel(mono, level, mode)), counter(mono, gain, gain) {
  mapper.Prepare(mono, mode, factor, MonoLevels(level));
}

PolyMapper::PolyMapper(const SampleLayout& layout, NormalizeMode mode, float factor, const ChannelLevels& levels)
    : layout_(layout) {
  for (int c = 0; c < layout.channels; ++c) {
    channels_.push_back(std::make_unique<Channel>(MonoKindOf(layout), mode, factor, levels.channel[c]));
  }
  const auto perChannel = static_cast<size_t>(BlockBytes(layout) / std::max(1, layout.channels) + layout.sampleBytes);
  gathered_.resize(perChannel);
  mapped_.resize(perChannel);
}

bool PolyMapper::countsClips() const {
  for (const auto& channel : channels_) {
    if (channel->counter.active()) return true;
  }
  return false;
}

void PolyMapper::Map(const uint8_t* in, int64_t n, uint8_t* out, bool count) {
  for (int c = 0; c < layout_.channels; ++c) {
    Channel& channel = *channels_[static_cast<size_t>(c)];
    const int64_t bytes = Gather(layout_, in, n, c, gathered_.data());
    channel.mapper.Map(gathered_.data(), bytes, mapped_.data());
    if (count && channel.counter.active()) channel.counter.Count(gathered_.data(), bytes);
    Scatter(layout_, mapped_.data(), n, c, out);
  }
  const int64_t whole = n / layout_.sampleBytes * layout_.sampleBytes;
  std::memcpy(out + whole, in + whole, static_cast<size_t>(n - whole));
}

}  // namespace sonaveld
