#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "normalizer/NormalizeTypes.h"
#include "normalizer/SampleGain.h"
#include "normalizer/SampleKernels.h"
#include "normalizer/WideKernels.h"

namespace sonaveld {

// Maps one file's samples to their scaled values, byte for byte as the exact gain arithmetic
// gives them. The exact results of every sample value are held in one table per channel. For
// the 16-bit kinds a vectorized double-precision path is used instead once it has been checked,
// over every possible sample value, to give the same results; the few values where it does not
// take the tables, and where there are too many the tables are used throughout. The 24-bit,
// 32-bit and float kinds are mapped by MapWide.
class SampleMapper {
 public:
  SampleMapper();

  // Sets up the mapping for one file: kind, mode, percentage factor and the measured levels.
  void Prepare(FormatKind kind, NormalizeMode mode, float factor, const ChannelLevels& levels);

  // Maps the first n bytes of a block (starting on a frame) from in to out.
  void Map(const uint8_t* in, int64_t n, uint8_t* out) const;

  // True when the fast 16-bit path is in use for this file.
  bool fast() const { return fast_; }

 private:
  bool CheckFastPath();

  FormatKind kind_ = FormatKind::kNone;
  std::unique_ptr<GainTable[]> tables_;  // two tables of 128 KiB: kept off the stack
  bool fast_ = false;
  double gain_[2] = {1.0, 1.0};
  std::vector<FastException> exceptions_;
  std::optional<ChannelGain> gains_[2];  // the wide kinds' exact gains
  WideChannel wide_[2];
};

}  // namespace sonaveld
