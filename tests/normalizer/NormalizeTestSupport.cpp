#include "NormalizeTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "GainReference.h"

namespace sonaveld::test {
namespace {

// How the samples of a kind are stored, told from the kind's number alone: odd kinds are stereo;
// 1-2: 16 bits, 3-4: 8 bits, 5-6: 24 bits, 7-8: 32 bits, 9-10: 32-bit float.
struct Layout {
  int channels, bits, bytes;
  bool isFloat;
};

Layout LayoutOf(FormatKind kind) {
  const int k = static_cast<int>(kind);
  static const int kBits[] = {16, 8, 24, 32, 32};
  const int bits = kBits[(k - 1) / 2];
  return {k % 2 == 1 ? 2 : 1, bits, bits / 8, k >= 9};
}

void PutInteger(uint8_t* p, int bits, int64_t v) {
  if (bits == 8) v += 128;
  for (int i = 0; i < bits / 8; ++i) p[i] = static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i));
}

float FloatAt(const uint8_t* p) {
  float x;
  std::memcpy(&x, p, 4);
  return x;
}

// An engine's extended value against the reference's, which may be another type (the build that
// forces the software type on x86-64).
[[maybe_unused]] bool Same(long double engine, long double reference) { return engine == reference; }
[[maybe_unused]] bool Same(const SoftExtended& engine, const SoftExtended& reference) { return engine == reference; }
[[maybe_unused]] bool Same(const SoftExtended& engine, long double reference) {
  const long double magnitude = std::ldexp(static_cast<long double>(engine.mantissa()), static_cast<int>(engine.exponent()));
  return (engine.negative() ? -magnitude : magnitude) == reference;
}

}  // namespace

// A signed sample: 8-bit bytes are centred on 128, the others little-endian two's complement.
int64_t IntegerAt(const uint8_t* p, int bits) {
  if (bits == 8) return int64_t{p[0]} - 128;
  uint64_t u = 0;
  for (int i = 0; i < bits / 8; ++i) u |= uint64_t{p[i]} << (8 * i);
  const uint64_t sign = uint64_t{1} << (bits - 1);
  return static_cast<int64_t>(u ^ sign) - static_cast<int64_t>(sign);
}

WavRecipe Recipe(int channels, int bits, int64_t frames, std::function<int(int64_t, int)> sample,
             std::vector<uint8_t> chunksBeforeData, std::vector<uint8_t> chunksAfterData) {
  WavRecipe recipe;
  recipe.channels = channels;
  recipe.bits = bits;
  recipe.frames = frames;
  recipe.sample = std::move(sample);
  recipe.chunksBeforeData = std::move(chunksBeforeData);
  recipe.chunksAfterData = std::move(chunksAfterData);
  return recipe;
}

NormalizeSettings ReplaceNames() {
  NormalizeSettings settings;
  settings.keepSourceName = false;
  return settings;
}

NormalizeSettings AverageMode() {
  NormalizeSettings settings;
  settings.mode = NormalizeMode::kAverage;
  return settings;
}

// The layout of an area of 3 to 8 channels, which has no kind.
Layout LayoutOf(const SampleArea& area) {
  if (area.kind != FormatKind::kNone) return LayoutOf(area.kind);
  const int bits = 8 * area.layout.sampleBytes;
  return {area.layout.channels, bits, bits / 8, area.layout.encoding == SampleEncoding::kFloat32};
}

ReferenceResult ReferenceRuns(const std::vector<uint8_t>& file, const SampleArea& area, NormalizeMode mode,
                              int percent, bool linked) {
  ReferenceResult result;
  const Layout layout = LayoutOf(area);
  // Blocks of 2000 samples, or of the whole frames in them.
  const int64_t b = 2000 / layout.channels * layout.channels * layout.bytes;
  const int64_t blocks = area.fileSize / b + 1;
  auto readBlock = [&](int64_t p) {
    const int64_t n = std::clamp<int64_t>(area.end - p, 0, b);
    return std::vector<uint8_t>(file.begin() + p, file.begin() + p + n);
  };
  auto& lv = result.levels.channel;
  int64_t p = area.offset;
  for (int64_t k = 0; k < blocks; ++k) {
    const std::vector<uint8_t> block = readBlock(p);
    const auto n = static_cast<int64_t>(block.size());
    int64_t sum[8] = {}, count[8] = {};
    ReferenceExtended floatSum[8] = {};
    for (int64_t i = 0; i < n / layout.bytes; ++i) {
      const uint8_t* at = block.data() + i * layout.bytes;
      const int c = static_cast<int>(i % layout.channels);
      if (layout.isFloat) {
        const float x = FloatAt(at);
        if (!std::isfinite(x)) continue;
        lv[c].floatPeak = std::max(lv[c].floatPeak, std::fabs(x));
        floatSum[c] = floatSum[c] + ReferenceExtended(std::fabs(x));
      } else {
        const int64_t s = IntegerAt(at, layout.bits);
        lv[c].peak = std::max(lv[c].peak, std::abs(s));
        sum[c] += std::abs(s);
      }
      ++count[c];
    }
    if (n != b) break;
    p += b;
    for (int c = 0; c < layout.channels; ++c) {
      if (count[c] == 0) continue;
      lv[c].total += sum[c] / count[c];
      lv[c].floatTotal = lv[c].floatTotal + floatSum[c] / ReferenceExtended(count[c]);
    }
  }
  for (int c = 0; c < layout.channels; ++c) {
    // Integer averages truncate; the 8/16-bit ones keep the low 32 bits, and 8-bit halves them.
    lv[c].average = lv[c].total / blocks;
    if (layout.bits <= 16) lv[c].average = static_cast<int32_t>(lv[c].average) / (layout.bits == 8 ? 2 : 1);
    lv[c].floatAverage = lv[c].floatTotal / ReferenceExtended(blocks);
  }
  // Linked: every channel scaled as the one of the largest chosen level.
  ReferenceLevel gain[8];
  std::copy(lv, lv + 8, gain);
  for (int c = 0; linked && c < layout.channels; ++c) {
    for (ReferenceLevel& g : gain) {
      g.peak = std::max(g.peak, lv[c].peak), g.average = std::max(g.average, lv[c].average);
      g.floatPeak = std::max(g.floatPeak, lv[c].floatPeak);
      if (g.floatAverage < lv[c].floatAverage) g.floatAverage = lv[c].floatAverage;
    }
  }

  const float f = ReferenceFactor(percent);
  const bool average = mode == NormalizeMode::kAverage;
  for (p = area.offset;; p += b) {
    const std::vector<uint8_t> block = readBlock(p);
    const auto n = static_cast<int64_t>(block.size());
    // The block as it is (bytes of an incomplete last sample stay so), then its samples scaled.
    const size_t start = result.samples.size();
    result.samples.insert(result.samples.end(), block.begin(), block.end());
    uint8_t* out = result.samples.data() + start;
    for (int64_t i = 0; i < n / layout.bytes; ++i) {
      const int c = static_cast<int>(i % layout.channels);
      const uint8_t* at = block.data() + i * layout.bytes;
      if (layout.isFloat) {
        const float x = FloatAt(at);
        if (!std::isfinite(x)) continue;  // written unchanged
        const ReferenceExtended level = average ? gain[c].floatAverage : ReferenceExtended(gain[c].floatPeak);
        const float y = ReferenceScaleFloat(average, f, level, x);
        std::memcpy(out + i * 4, &y, 4);
        result.clipped[c] += ReferenceClipsFloat(average, f, level, x);
      } else {
        const int64_t level = average ? gain[c].average : gain[c].peak;
        PutInteger(out + i * layout.bytes, layout.bits, ReferenceScale(layout.bits, average, f, level, IntegerAt(at, layout.bits)));
        result.clipped[c] += ReferenceClips(layout.bits, average, f, level, IntegerAt(at, layout.bits));
      }
    }
    if (n != b) break;
  }
  return result;
}

bool SameValue(const Extended& engine, const ReferenceExtended& reference) { return Same(engine, reference); }

bool SameLevel(const ChannelLevel& engine, const ReferenceLevel& reference) {
  return engine.peak == reference.peak && engine.total == reference.total && engine.average == reference.average &&
         engine.floatPeak == reference.floatPeak && Same(engine.floatTotal, reference.floatTotal) &&
         Same(engine.floatAverage, reference.floatAverage);
}

}  // namespace sonaveld::test
