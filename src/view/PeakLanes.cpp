#include "view/PeakLanes.h"

#include <algorithm>
#include <vector>

#include "peaks/ColumnPeaks.h"
#include "peaks/SampleScan.h"
#include "view/ViewImages.h"
#include "view/ViewMath.h"

namespace sonaveld::view {
namespace {

bool EightBit(FormatKind kind) { return kind == FormatKind::kStereo8 || kind == FormatKind::kMono8; }

// The row of a lane-scale value; the 8-bit values 0 and 1 map to 160, one row below the lane,
// and are drawn on its last row.
int RowOf(bool eightBit, int value) {
  return std::clamp(eightBit ? LaneY8(value) : LaneY16(value), 0, kLaneHeight - 1);
}

// Rows from the larger value's y to the smaller value's y, both painted.
void PeakStroke(QImage& lane, int x, bool eightBit, const peaks::ChannelPeak& peak) {
  if (peak.empty()) return;
  const int top = RowOf(eightBit, peak.max);
  const int bottom = RowOf(eightBit, peak.min);
  for (int y = top; y <= bottom; ++y) lane.setPixel(x, y, kBlue);
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
  const bool eightBit = EightBit(h.Kind);
  const int channels = peaks::LaneChannels(h.Kind);
  for (int64_t c = 1; c <= shown; ++c) {
    const peaks::FramePeaks& column = peaks[static_cast<size_t>(c - 1)];
    PeakStroke(image1, static_cast<int>(c), eightBit, column.channel[0]);
    if (channels == 2) PeakStroke(image2, static_cast<int>(c), eightBit, column.channel[1]);
  }
  return result;
}

}  // namespace sonaveld::view
