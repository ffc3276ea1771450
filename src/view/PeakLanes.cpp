#include "view/PeakLanes.h"

#include <algorithm>
#include <vector>

#include "peaks/ColumnPeaks.h"
#include "peaks/SampleScan.h"
#include "view/LaneStack.h"
#include "view/ViewImages.h"
#include "view/ViewMath.h"

namespace sonaveld::view {
namespace {

// The row of a lane-scale value held within the lane; the smallest 8-bit values map to the row
// below the lane and are drawn on its last row.
int RowOf(const Lane& lane, bool eightBit, int value) {
  return std::clamp(eightBit ? lane.Y8(value) : lane.Y16(value), lane.top, lane.Bottom());
}

// Rows from the larger value's y to the smaller value's y, both painted.
void PeakStroke(LaneStack& stack, const Lane& lane, int x, bool eightBit, const peaks::ChannelPeak& peak) {
  if (peak.empty()) return;
  const int top = RowOf(lane, eightBit, peak.max);
  const int bottom = RowOf(lane, eightBit, peak.min);
  for (int y = top; y <= bottom; ++y) stack.Put(x, y, kBlue);
}

}  // namespace

DrawLoopResult DrawPeakLanes(ByteSource& file, const WaveHeader& h, const peaks::PeakSummary* summary,
                             int64_t viewStart, int64_t viewEnd, int32_t zoom, QImage& image1, QImage& image2) {
  image1.fill(kWhite);
  image2.fill(kWhite);
  const int64_t z = SafeZoom(zoom);
  const int64_t columns = std::clamp<int64_t>(viewEnd - viewStart + 1, 0, kLaneWidth);
  DrawLoopResult result{h.DataOffset + (viewStart - 1) * h.FrameSize(), static_cast<int32_t>(columns)};
  // Column c is peaks[c - 1]; column 760 would lie outside the lanes and is not read.
  const int64_t shown = std::min<int64_t>(columns, kLaneWidth - 1);
  const std::vector<peaks::FramePeaks> peaks = peaks::ColumnPeaks(file, h, summary, viewStart, z, shown);
  const bool eightBit = h.Samples().encoding == SampleEncoding::kPcm8;
  const int channels = peaks::LaneChannels(h.Samples());
  LaneStack stack(image1, image2);
  for (int64_t c = 1; c <= shown; ++c) {
    const peaks::FramePeaks& column = peaks[static_cast<size_t>(c - 1)];
    for (int k = 0; k < channels; ++k) {
      PeakStroke(stack, LaneOf(channels, k), static_cast<int>(c), eightBit, column.channel[static_cast<size_t>(k)]);
    }
  }
  return result;
}

}  // namespace sonaveld::view
