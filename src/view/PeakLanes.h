#pragma once
#include <QImage>
#include <cstdint>

#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "peaks/PeakSummary.h"
#include "view/WaveLanes.h"

namespace sonaveld::view {

// The peak view of the lanes. Clears both lanes white and draws the columns c = 1, 2, ... while
// viewStart + (c - 1) <= viewEnd (at most 760; column 760 lies outside the lanes): column c covers
// frames viewStart + (c - 1) * zoom .. viewStart + c * zoom - 1, bounded by the last frame of the
// sample area, and shows per channel one blue stroke from the y of the largest to the y of the
// smallest value, both ends painted (equal values: one pixel). y as in DrawWaveLanes (two lanes:
// 16-bit 80 - v div 410, 8-bit 160 - b * 5 div 8, wider samples on the 16-bit scale; scaled to the
// lane for 3 to 8 channels, view/LaneStack.h), held within the lane's rows. The left or only
// channel in image1, the right one in image2 (mono: image2 stays white), more channels sharing
// the rows of both. Columns at least a block wide
// read the summary, narrower ones (or all, when summary is null) read the frames from file.
// Returns what DrawWaveLanes returns for the same view.
DrawLoopResult DrawPeakLanes(ByteSource& file, const WaveHeader& h, const peaks::PeakSummary* summary,
                             int64_t viewStart, int64_t viewEnd, int32_t zoom, QImage& image1, QImage& image2);

}  // namespace sonaveld::view
