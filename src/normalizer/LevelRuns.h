#pragma once
#include <cstdint>
#include <string>

#include "base/Status.h"
#include "io/ByteSource.h"
#include "io/OutputFile.h"
#include "normalizer/NormalizeTypes.h"

namespace sonaveld {

// The stretch of a file that the two runs work on. Offsets and sizes in bytes.
struct SampleArea {
  int64_t offset = 0;    // D: first sample byte
  int64_t end = 0;       // one past the last sample byte (data_end)
  int64_t fileSize = 0;  // S: size of the whole file, which sets N = S div B + 1
  FormatKind kind = FormatKind::kNone;
  std::string path;      // the file's path, named in the message of a failed read
  SampleLayout layout;   // the samples of a file of 3 to 8 channels (kind kNone); empty for a kind

  // The layout the runs work from: layout, or the kind's.
  SampleLayout Samples() const { return layout.channels > 0 ? layout : SampleLayoutOf(kind); }
};

// Blocks of B bytes that one read fetches (256 KB for the 16-bit kinds): large enough to keep
// the calls few, small enough to leave the cache to the gain tables.
constexpr int64_t kBlocksPerRead = 64;

// Number of block reads N = S div B + 1 a run makes at most.
int64_t BlockCount(const SampleArea& area);
// Maximum that the scaling run reports with its progress: S div B - 1.
int64_t ProgressMaximum(const SampleArea& area);

// The measuring run: reads the sample area once, block by block, and fills levels (which must
// start at zero) with each channel's peak, the total of its full-block means and its average.
// Only reads the source. Ok, Stopped, or "ファイル %s は開けません" with area.path when a read failed.
Status MeasureLevels(ByteSource& source, const SampleArea& area, ChannelLevels& levels, const RunHooks& hooks);

// The scaling run: reads the sample area a second time and appends every sample, scaled by its
// channel's gain, to output (which already holds the header). The output's sample bytes match
// the source's in number. Ok, Stopped, "ファイル %s は開けません" with area.path when a read failed,
// or "%sに書き込めません。" with the output's path when a write failed.
// clipped (one count per channel, when given) receives how many samples the gain clamped.
Status ScaleSamples(ByteSource& source, OutputFile& output, const SampleArea& area, NormalizeMode mode,
                    float factor, const ChannelLevels& levels, const RunHooks& hooks, int64_t* clipped = nullptr);

// The loudness mode's scaling run: as ScaleSamples, with every sample mapped by one plain gain
// (the factor 10^(G/20)); clipped as there.
Status ScalePlain(ByteSource& source, OutputFile& output, const SampleArea& area, double gain, bool dither,
                  const RunHooks& hooks, int64_t* clipped = nullptr);

}  // namespace sonaveld
