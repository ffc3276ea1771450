#include "view/WaveLanes.h"

#include <algorithm>
#include <array>

#include "peaks/LaneScale.h"
#include "view/LaneStack.h"
#include "view/ViewImages.h"
#include "view/ViewMath.h"

namespace sonaveld::view {

namespace {

constexpr int kZeroLine = 80;

// Draws the strokes of one frame's bytes at column x, each channel in its lane: 8-bit bytes by
// their own rule, every wider sample brought to the 16-bit scale first.
void DrawFrame(const SampleLayout& layout, const uint8_t* bytes, int x, LaneStack& stack) {
  for (int c = 0; c < layout.channels; ++c) {
    const uint8_t* sample = bytes + c * layout.sampleBytes;
    const Lane lane = LaneOf(layout.channels, c);
    const bool eightBit = layout.encoding == SampleEncoding::kPcm8;
    const int y = eightBit ? lane.Y8(sample[0]) : lane.Y16(peaks::LaneValue(layout.encoding, sample));
    stack.Stroke(x, lane.Zero(), y, kBlue);
  }
}

}  // namespace

int LaneY16(int v) { return kZeroLine - v / 410; }
int LaneY8(int b) { return 160 - b * 5 / 8; }

ViewBounds ComputeViewBounds(const WaveHeader& h, int64_t viewStart, int32_t zoom) {
  ViewBounds bounds{viewStart + kLaneWidth - 1, std::nullopt};
  if (h.FrameSize() == 0) return bounds;
  const int64_t z = SafeZoom(zoom);
  const int64_t frames = h.Frames();
  if (frames - kLaneWidth * z > 0) bounds.scrollMaximum = frames - kLaneWidth * z;
  // A view that starts past the last frame has no column to draw (truncation toward zero
  // would otherwise let one column read beyond the samples).
  const int64_t lastStart = frames < viewStart ? viewStart - 1 : (frames - viewStart) / z + viewStart;
  bounds.viewEnd = std::min(bounds.viewEnd, lastStart);
  return bounds;
}

DrawLoopResult DrawWaveLanes(ByteSource& file, const WaveHeader& h, int64_t viewStart, int64_t viewEnd,
                             int32_t zoom, QImage& image1, QImage& image2) {
  image1.fill(kWhite);
  image2.fill(kWhite);
  const int64_t z = SafeZoom(zoom);
  const int frameBytes = h.FrameSize();
  const int64_t frames = h.Frames();
  DrawLoopResult result{h.DataOffset + (viewStart - 1) * frameBytes, 0};
  // The column count never exceeds 760 whatever viewEnd says.
  const int64_t columns = std::clamp<int64_t>(viewEnd - viewStart + 1, 0, kLaneWidth);
  std::array<uint8_t, kMaxChannels * 4> bytes{};  // the largest frame: eight 32-bit samples
  LaneStack stack(image1, image2);
  for (int64_t c = 1; c <= columns; ++c) {
    result.column = static_cast<int32_t>(c);
    if (frameBytes == 0) continue;
    const int64_t frame = viewStart + (c - 1) * z;
    // Before the first frame lie header bytes, after the last one other chunks: not samples.
    if (frame < 1 || frame > frames) continue;
    const int64_t offset = result.readBase + (c - 1) * frameBytes * z;
    if (file.ReadAt(offset, bytes.data(), frameBytes) != frameBytes) continue;
    DrawFrame(h.Samples(), bytes.data(), static_cast<int>(c), stack);
  }
  return result;
}

}  // namespace sonaveld::view
