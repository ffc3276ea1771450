#include "NormalizeTestSupport.h"

#include <algorithm>
#include <cstdlib>

#include "GainReference.h"

namespace sonaveld::test {
namespace {

int SignedSample(const uint8_t* p, int64_t i, bool sixteen) {
  if (!sixteen) return static_cast<int>(p[i]) - 128;
  return static_cast<int16_t>(static_cast<uint16_t>(p[2 * i] | p[2 * i + 1] << 8));
}

}  // namespace

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

ReferenceResult ReferenceRuns(const std::vector<uint8_t>& file, const SampleArea& area, NormalizeMode mode,
                              int percent) {
  ReferenceResult result;
  const int64_t b = BlockBytes(area.kind);
  const int64_t blocks = area.fileSize / b + 1;
  const bool sixteen = IsSixteenBit(area.kind);
  const int channels = IsStereo(area.kind) ? 2 : 1;
  auto readBlock = [&](int64_t p) {
    const int64_t n = std::clamp<int64_t>(area.end - p, 0, b);
    return std::vector<uint8_t>(file.begin() + p, file.begin() + p + n);
  };
  ChannelLevels& lv = result.levels;
  int64_t p = area.offset;
  for (int64_t k = 0; k < blocks; ++k) {
    const std::vector<uint8_t> block = readBlock(p);
    const auto n = static_cast<int64_t>(block.size());
    const int64_t samples = sixteen ? n / 2 : n;
    int32_t sum[2] = {0, 0}, count[2] = {0, 0};
    for (int64_t i = 0; i < samples; ++i) {
      const int s = SignedSample(block.data(), i, sixteen);
      const int c = channels == 2 ? static_cast<int>(i % 2) : 0;
      lv.channel[c].peak = std::max(lv.channel[c].peak, std::abs(s));
      sum[c] += std::abs(s);
      ++count[c];
    }
    if (n != b) break;
    p += b;
    for (int c = 0; c < channels; ++c) lv.channel[c].total += sum[c] / count[c];
  }
  for (int c = 0; c < channels; ++c) {
    lv.channel[c].average = static_cast<int32_t>(lv.channel[c].total / blocks / (sixteen ? 1 : 2));
  }

  const float f = ReferenceFactor(percent);
  for (p = area.offset;; p += b) {
    const std::vector<uint8_t> block = readBlock(p);
    const auto n = static_cast<int64_t>(block.size());
    std::vector<uint8_t> out = block;
    const int64_t samples = sixteen ? n / 2 : n;
    for (int64_t i = 0; i < samples; ++i) {
      const int c = channels == 2 ? static_cast<int>(i % 2) : 0;
      const bool average = mode == NormalizeMode::kAverage;
      const int32_t level = average ? lv.channel[c].average : lv.channel[c].peak;
      const int v = ReferenceScale(sixteen ? 16 : 8, average, f, level, SignedSample(block.data(), i, sixteen));
      if (sixteen) {
        out[2 * i] = static_cast<uint8_t>(v);
        out[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8);
      } else {
        out[i] = static_cast<uint8_t>(v + 128);
      }
    }
    result.samples.insert(result.samples.end(), out.begin(), out.end());
    if (n != b) break;
  }
  return result;
}

}  // namespace sonaveld::test
