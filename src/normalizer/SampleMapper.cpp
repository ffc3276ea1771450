#include "normalizer/SampleMapper.h"

#include <cstring>

namespace sonaveld {
namespace {

// The gain (C / L) x f of a channel as a double, for the fast path (a level of 0 keeps samples).
// It is only an approximation of the stepwise extended arithmetic: wherever the difference
// changes a result, the check against the tables finds it.
double ApproximateGain(bool sixteenBit, NormalizeMode mode, float factor, int64_t level) {
  if (level == 0) return 1.0;
  const long double c = sixteenBit ? (mode == NormalizeMode::kPeak ? 32767.0L : 32767.0L / 7.5L)
                                   : (mode == NormalizeMode::kPeak ? 127.0L : 10.16L);
  return static_cast<double>(c / static_cast<long double>(level) * static_cast<long double>(factor));
}

}  // namespace

SampleMapper::SampleMapper() : tables_(std::make_unique<GainTable[]>(2)) {}

void SampleMapper::Prepare(FormatKind kind, NormalizeMode mode, float factor, const ChannelLevels& levels) {
  kind_ = kind;
  fast_ = false;
  if (IsWide(kind)) {
    for (int c = 0; c < 2; ++c) {
      gains_[c].emplace(kind, mode, factor, ChosenLevel(kind, levels.channel[c], mode));
      wide_[c] = MakeWideChannel(kind, *gains_[c]);
    }
    return;
  }
  const bool sixteen = IsSixteenBit(kind);
  for (int c = 0; c < 2; ++c) {
    const int64_t level = ChosenLevel(levels.channel[c], mode);
    tables_[c].Build(sixteen, mode, factor, static_cast<int32_t>(level));
    gain_[c] = ApproximateGain(sixteen, mode, factor, level);
  }
  fast_ = sixteen && FastMapAvailable() && CheckFastPath();
}

bool SampleMapper::CheckFastPath() {
  // Run the fast kernel itself, without exceptions, over every sample value on both channels at once.
  const int stride = IsStereo(kind_) ? 2 : 1;
  const int64_t values = 65536;
  std::vector<uint8_t> in(static_cast<size_t>(values * stride * 2));
  std::vector<uint8_t> out(in.size());
  for (int64_t v = 0; v < values; ++v) {
    const auto raw = static_cast<uint16_t>(v);
    for (int c = 0; c < stride; ++c) std::memcpy(in.data() + 2 * (v * stride + c), &raw, 2);
  }
  if (FastMap16(kind_, in.data(), values, gain_, nullptr, 0, tables_.get(), out.data()) != values) return false;
  exceptions_.clear();
  for (int64_t v = 0; v < values; ++v) {
    uint8_t channels = 0;
    for (int c = 0; c < stride; ++c) {
      uint16_t fast;
      std::memcpy(&fast, out.data() + 2 * (v * stride + c), 2);
      if (fast != tables_[c].Map16(static_cast<uint16_t>(v))) channels |= static_cast<uint8_t>(1 << c);
    }
    if (channels == 0) continue;
    if (exceptions_.size() == kMaxFastExceptions) return false;
    exceptions_.push_back({static_cast<int16_t>(v), channels});
  }
  return true;
}

void SampleMapper::Map(const uint8_t* in, int64_t n, uint8_t* out) const {
  if (IsWide(kind_)) {
    MapWide(kind_, wide_, in, n, out);
    return;
  }
  int64_t done = 0;
  if (fast_) {
    const int stride = IsStereo(kind_) ? 2 : 1;
    const int64_t frames = FastMap16(kind_, in, n / (2 * stride), gain_, exceptions_.data(),
                                     static_cast<int>(exceptions_.size()), tables_.get(), out);
    done = frames * 2 * stride;
  }
  // The rest (all of it without the fast path) goes through the tables; it starts on a frame.
  MapSamples(kind_, tables_.get(), in + done, n - done, out + done);
}

}  // namespace sonaveld
