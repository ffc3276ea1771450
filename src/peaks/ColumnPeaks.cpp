#include "peaks/ColumnPeaks.h"

#include <algorithm>

#include "peaks/FrameChunks.h"
#include "peaks/SampleScan.h"

namespace sonaveld::peaks {

bool NeedsSummary(const WaveHeader& h, int64_t viewStart, int64_t zoom, int64_t columns) {
  if (zoom < PeakSummary::BlockFramesFor(h)) return false;
  const int64_t first = std::max<int64_t>(viewStart, 1);
  const int64_t last = std::min(viewStart + columns * zoom - 1, h.Frames());
  return (last - first + 1) * h.FrameSize() > kDirectViewBytes;
}

std::vector<FramePeaks> ColumnPeaks(ByteSource& source, const WaveHeader& h, const PeakSummary* summary,
                                    int64_t viewStart, int64_t zoom, int64_t columns) {
  zoom = std::max<int64_t>(zoom, 1);
  std::vector<FramePeaks> peaks(static_cast<size_t>(std::max<int64_t>(columns, 0)));
  if (peaks.empty()) return peaks;
  if (summary != nullptr && zoom >= summary->BlockFrames()) {
    for (int64_t i = 0; i < columns; ++i) {
      const int64_t first = viewStart + i * zoom;
      peaks[static_cast<size_t>(i)] = summary->Range(source, first, first + zoom - 1);
    }
    return peaks;
  }
  // Frames of the chunk go to the columns they belong to, a column's share at a time.
  const int64_t frameBytes = h.FrameSize();
  const int64_t last = viewStart + columns * zoom - 1;
  ReadFrameChunks(source, h, viewStart, last, kReadBytes / std::max<int64_t>(frameBytes, 1),
                  [&](int64_t first, const uint8_t* bytes, int64_t n) {
                    for (int64_t frame = first; frame < first + n;) {
                      const int64_t column = (frame - viewStart) / zoom;
                      const int64_t columnEnd = viewStart + (column + 1) * zoom;  // one past
                      const int64_t take = std::min(columnEnd, first + n) - frame;
                      ScanFrames(h.Samples(), bytes + (frame - first) * frameBytes, take,
                                 peaks[static_cast<size_t>(column)]);
                      frame += take;
                    }
                    return true;
                  });
  return peaks;
}

}  // namespace sonaveld::peaks
