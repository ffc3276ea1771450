#include "analysis/LoudnessGating.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sonaveld {
namespace {

constexpr double kMinusInf = -std::numeric_limits<double>::infinity();
constexpr int kMomentaryHops = 4;   // 400 ms
constexpr int kShortTermHops = 30;  // 3 s
constexpr int kRangeStepHops = 10;  // LRA blocks every second
constexpr double kAbsoluteGateLufs = -70.0;
constexpr double kRelativeGateLu = -10.0;
constexpr double kRangeRelativeGateLu = -20.0;
constexpr double kRangeLow = 0.10;   // LRA percentiles
constexpr double kRangeHigh = 0.95;

double EnergyOfLufs(double lufs) { return std::pow(10.0, (lufs + 0.691) / 10.0); }

// Mean squares of the blocks of `length` hops starting at every `step`-th hop.
std::vector<double> Blocks(const std::vector<double>& hops, int64_t hopFrames, int length, int step) {
  std::vector<double> blocks;
  const double frames = static_cast<double>(hopFrames) * length;
  for (size_t start = 0; start + length <= hops.size(); start += step) {
    double sum = 0.0;
    for (int j = 0; j < length; ++j) sum += hops[start + j];
    blocks.push_back(sum / frames);
  }
  return blocks;
}

double MaxLufs(const std::vector<double>& blocks) {
  if (blocks.empty()) return kMinusInf;
  return LufsOfEnergy(*std::max_element(blocks.begin(), blocks.end()));
}

// EBU Tech 3342: the short-term blocks above the absolute gate and 20 LU below their mean, the
// spread from the 10th to the 95th percentile (nearest rank).
double LoudnessRange(std::vector<double> blocks) {
  const double absolute = EnergyOfLufs(kAbsoluteGateLufs);
  std::erase_if(blocks, [&](double z) { return z < absolute; });
  if (blocks.empty()) return 0.0;
  double mean = 0.0;
  for (double z : blocks) mean += z;
  mean /= static_cast<double>(blocks.size());
  const double relative = mean * std::pow(10.0, kRangeRelativeGateLu / 10.0);
  std::erase_if(blocks, [&](double z) { return z < relative; });
  if (blocks.empty()) return 0.0;
  std::sort(blocks.begin(), blocks.end());
  const double last = static_cast<double>(blocks.size() - 1);
  const double low = blocks[static_cast<size_t>(last * kRangeLow + 0.5)];
  const double high = blocks[static_cast<size_t>(last * kRangeHigh + 0.5)];
  return LufsOfEnergy(high) - LufsOfEnergy(low);
}

}  // namespace

double LufsOfEnergy(double meanSquare) {
  if (!(meanSquare > 0.0)) return kMinusInf;
  return 10.0 * std::log10(meanSquare) - 0.691;
}

double GatedLoudness(const std::vector<const std::vector<double>*>& blockLists) {
  const double absolute = EnergyOfLufs(kAbsoluteGateLufs);
  double sum = 0.0;
  int64_t count = 0;
  for (const auto* list : blockLists) {
    for (double z : *list) {
      if (z >= absolute) {
        sum += z;
        ++count;
      }
    }
  }
  if (count == 0) return kMinusInf;
  const double relative = sum / static_cast<double>(count) * std::pow(10.0, kRelativeGateLu / 10.0);
  sum = 0.0;
  count = 0;
  for (const auto* list : blockLists) {
    for (double z : *list) {
      if (z >= relative && z >= absolute) {
        sum += z;
        ++count;
      }
    }
  }
  return count == 0 ? kMinusInf : LufsOfEnergy(sum / static_cast<double>(count));
}

double AlbumIntegratedLufs(const std::vector<const LoudnessFigures*>& files) {
  std::vector<const std::vector<double>*> lists;
  for (const auto* f : files) lists.push_back(&f->gatingBlocks);
  return GatedLoudness(lists);
}

void GateLoudness(const std::vector<double>& hops, int64_t hopFrames, LoudnessFigures& figures) {
  std::vector<double> momentary = Blocks(hops, hopFrames, kMomentaryHops, 1);
  figures.momentaryMaxLufs = MaxLufs(momentary);
  figures.shortTermMaxLufs = MaxLufs(Blocks(hops, hopFrames, kShortTermHops, 1));
  figures.lraLu = LoudnessRange(Blocks(hops, hopFrames, kShortTermHops, kRangeStepHops));
  const double absolute = EnergyOfLufs(kAbsoluteGateLufs);
  std::erase_if(momentary, [&](double z) { return z < absolute; });
  figures.gatingBlocks = std::move(momentary);
  figures.integratedLufs = GatedLoudness({&figures.gatingBlocks});
}

}  // namespace sonaveld
