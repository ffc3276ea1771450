#pragma once
#include <QImage>
#include <cstdint>
#include <optional>

#include "document/WaveProbe.h"
#include "io/ByteSource.h"

namespace sonaveld::view {

// Result of the view-bounds step.
struct ViewBounds {
  int64_t viewEnd;                     // loop bound: the last column shows frame viewStart + (viewEnd - viewStart) * zoom
  std::optional<int64_t> scrollMaximum;  // new scroll bar maximum; nullopt: keep the old one
};

// View-bounds step, run right before the drawing loop. Frames count up to DataEnd (a chunk after
// the samples is not audio). scrollMaximum = Frames - 760 * zoom when that is above 0. viewEnd =
// min(viewStart + 759, last start), where the last start keeps the last column's frame within
// the file; when viewStart lies beyond the last frame, viewEnd = viewStart - 1 (no column).
// Without a format kind: viewEnd = viewStart + 759 and no maximum.
ViewBounds ComputeViewBounds(const WaveHeader& h, int64_t viewStart, int32_t zoom);

// What the drawing loop leaves in the document's view fields.
struct DrawLoopResult {
  int64_t readBase;  // byte offset of the frame drawn in column 1
  int32_t column;    // last column drawn (0 when none)
};

// Clears both lanes white and draws the columns c = 1, 2, ... while viewStart + (c - 1) <= viewEnd:
// column c shows frame viewStart + (c - 1) * zoom, read with one ReadAt of one frame from `file`,
// as a blue stroke per channel from (c, zero line) towards the sample's y (end point not painted),
// in the channel's lane (view/LaneStack.h): the left or only channel in image1, the right channel
// in image2 (mono: image2 stays white), 3 to 8 channels sharing the 320 rows of both. Two lanes:
// 16-bit y = 80 - v div 410, 8-bit y = 160 - b * 5 div 8, the same rules scaled to the lane height
// for more channels; 24-bit, 32-bit and float samples are brought to the 16-bit scale first
// (peaks/LaneScale.h). Column 760 lies outside the lanes. A frame outside 1..Frames
// or one that cannot be read in full (the file shrank, a read error) leaves its column white.
// The images must be lanes (NewLane()); zoom below 1 counts as 1.
DrawLoopResult DrawWaveLanes(ByteSource& file, const WaveHeader& h, int64_t viewStart, int64_t viewEnd,
                             int32_t zoom, QImage& image1, QImage& image2);

// The y a sample lands at: 16-bit signed value v, or 8-bit unsigned value b.
int LaneY16(int v);
int LaneY8(int b);

}  // namespace sonaveld::view
