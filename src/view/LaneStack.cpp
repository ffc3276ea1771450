#include "view/LaneStack.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>

#include "view/ViewImages.h"

namespace sonaveld::view {

int Lane::Y16(int v) const { return Zero() - static_cast<int>(int64_t{v} * height / 65600); }
int Lane::Y8(int b) const { return top + height - b * height / 256; }

Lane LaneOf(int channels, int k) {
  const int height = channels <= 2 ? kLaneHeight : kStackRows / std::max(channels, 1);
  return Lane{k * height, height};
}

void LaneStack::Put(int x, int row, QRgb colour) {
  if (row < kLaneHeight) PutPixel(image1_, x, row, colour);
  else PutPixel(image2_, x, row - kLaneHeight, colour);
}

void LaneStack::Stroke(int x, int y0, int y1, QRgb colour) {
  if (y0 == y1) return;
  const int top = std::max(y0 < y1 ? y0 : y1 + 1, 0);
  const int bottom = std::min(y0 < y1 ? y1 - 1 : y0, kStackRows - 1);
  for (int y = top; y <= bottom; ++y) Put(x, y, colour);
}

void DrawLaneLabels(QImage& image1, QImage& image2, int channels, const QFont& font) {
  if (channels < 3) return;
  // The labels are painted on a 320-row image and copied into the two lanes, so that a lane
  // that straddles them keeps its label whole.
  QImage stack(kLaneWidth, kStackRows, QImage::Format_ARGB32);
  stack.setDotsPerMeterX(image1.dotsPerMeterX());
  stack.setDotsPerMeterY(image1.dotsPerMeterY());
  stack.fill(Qt::transparent);
  {
    QPainter painter(&stack);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 0));
    for (int k = 0; k < channels; ++k) {
      const Lane lane = LaneOf(channels, k);
      painter.drawText(QRect(2, lane.top, 40, lane.height), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                       QString::number(k + 1));
    }
  }
  QPainter top(&image1);
  top.drawImage(0, 0, stack, 0, 0, kLaneWidth, kLaneHeight);
  QPainter bottom(&image2);
  bottom.drawImage(0, 0, stack, 0, kLaneHeight, kLaneWidth, kLaneHeight);
}

}  // namespace sonaveld::view
