#include "view/CursorOverlay.h"

#include "view/ViewImages.h"

namespace sonaveld::view {

namespace {
constexpr int kProbeRow = 10;  // the row that tells whether a line shows
}

void ClearOverlay(QImage& image3) { image3.fill(kClearOverlay); }

void DrawCursorLine(QImage& image3, int x) { VerticalLine(image3, x, 0, image3.height(), kRed); }

int FindCursorColumn(const QImage& image3) {
  int found = -1;
  // The screen search runs over x = 0..760; x = 760 lies just outside the overlay and is never red.
  for (int x = 0; x < kLaneWidth; ++x) {
    if (IsPureRed(image3, x, kProbeRow)) found = x;
  }
  return found;
}

bool CursorLineShowing(const QImage& image3) { return FindCursorColumn(image3) >= 0; }

}  // namespace sonaveld::view
