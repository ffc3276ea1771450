#include "view/CutMap.h"

#include <algorithm>
#include <cmath>

#include "view/ViewImages.h"

namespace sonaveld::view {

namespace {

// Outline of the rectangle (left, 0)-(right, 8): x = left .. right - 1, y = 0 .. 7; interior white.
void DrawBox(QImage& image5, const CutMapBox& box) {
  if (box.right <= box.left) return;
  const int last = box.right - 1;
  for (int x = box.left; x <= last; ++x) {
    for (int y = 0; y < kStripHeight; ++y) {
      const bool edge = x == box.left || x == last || y == 0 || y == kStripHeight - 1;
      PutPixel(image5, x, y, edge ? kBlue : kWhite);
    }
  }
}

}  // namespace

int CutMapX(int64_t mark, const WaveHeader& h) {
  const int frameBytes = h.FrameSize();
  if (frameBytes == 0 || mark == 0) return 0;
  const double frames = static_cast<double>(h.DataEnd - h.DataOffset) / static_cast<double>(frameBytes);
  const double x = static_cast<double>(mark) / frames * kStripWidth;
  if (std::isnan(x)) return kStripWidth;  // no samples at all
  return static_cast<int>(std::clamp(std::trunc(x), 0.0, static_cast<double>(kStripWidth)));
}

std::vector<CutMapBox> CutMapBoxes(const std::vector<int64_t>& sortedMarks, bool keepHead, const WaveHeader& h) {
  // X[0] = 0 (start of the file), X[1..n] the marks, X[n + 1] the end of the strip where the
  // pairing leaves the last range open.
  std::vector<int> xs{0};
  for (int64_t mark : sortedMarks) {
    if (mark != 0) xs.push_back(CutMapX(mark, h));
  }
  const int n = static_cast<int>(xs.size()) - 1;
  std::vector<CutMapBox> boxes;
  if (n == 0) return boxes;
  const bool openEnd = keepHead ? n % 2 == 0 : n % 2 == 1;
  if (openEnd) xs.push_back(kStripWidth);
  const int first = keepHead ? 0 : 1;  // X index where the first kept range starts
  for (int i = first; i + 1 < static_cast<int>(xs.size()); i += 2) {
    boxes.push_back({xs[static_cast<size_t>(i)], xs[static_cast<size_t>(i) + 1]});
  }
  return boxes;
}

void DrawCutMap(QImage& image5, const std::vector<int64_t>& sortedMarks, bool keepHead, const WaveHeader& h) {
  image5.fill(kWhite);
  for (const CutMapBox& box : CutMapBoxes(sortedMarks, keepHead, h)) DrawBox(image5, box);
}

}  // namespace sonaveld::view
