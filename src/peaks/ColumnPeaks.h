#pragma once
#include <cstdint>
#include <vector>

#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "peaks/FramePeaks.h"
#include "peaks/PeakSummary.h"

namespace sonaveld::peaks {

// Most bytes of frames a view reads directly when its columns are wider than a block.
constexpr int64_t kDirectViewBytes = int64_t{2} << 20;

// True when the view of `columns` columns of zoom frames from viewStart on cannot be drawn
// quickly without the summary: its columns are at least a summary block wide and its frames (up
// to the last frame of the sample area) are more than kDirectViewBytes.
bool NeedsSummary(const WaveHeader& h, int64_t viewStart, int64_t zoom, int64_t columns);

// Peaks of `columns` consecutive columns of zoom frames from viewStart on: column i (0-based)
// covers frames viewStart + i * zoom .. viewStart + (i + 1) * zoom - 1, bounded by 1 and the last
// frame of the sample area (a column wholly outside is empty). With a summary and columns at least
// a block wide each column takes the summary's Range; otherwise the frames of the whole view are
// read in order, in large reads. summary may be null.
std::vector<FramePeaks> ColumnPeaks(ByteSource& source, const WaveHeader& h, const PeakSummary* summary,
                                    int64_t viewStart, int64_t zoom, int64_t columns);

}  // namespace sonaveld::peaks
