#include "view/ViewImages.h"

#include <algorithm>

namespace sonaveld::view {

namespace {

constexpr int kDotsPerMeter96Dpi = 3780;  // 96 dpi

QImage NewImage(int width, int height, QImage::Format format, QRgb fill) {
  QImage image(width, height, format);
  image.setDotsPerMeterX(kDotsPerMeter96Dpi);
  image.setDotsPerMeterY(kDotsPerMeter96Dpi);
  image.fill(fill);
  return image;
}

}  // namespace

QImage NewLane() { return NewImage(kLaneWidth, kLaneHeight, QImage::Format_RGB32, kWhite); }
QImage NewOverlay() { return NewImage(kLaneWidth, kOverlayHeight, QImage::Format_ARGB32, kClearOverlay); }
QImage NewRuler() { return NewImage(kLaneWidth, kRulerHeight, QImage::Format_RGB32, kWhite); }
QImage NewStrip() { return NewImage(kStripWidth, kStripHeight, QImage::Format_RGB32, kWhite); }

bool IsPureRed(const QImage& image, int x, int y) {
  if (!image.valid(x, y)) return false;
  return image.pixel(x, y) == kRed;
}

void PutPixel(QImage& image, int x, int y, QRgb colour) {
  if (image.valid(x, y)) image.setPixel(x, y, colour);
}

void VerticalLine(QImage& image, int x, int y0, int y1, QRgb colour) {
  if (x < 0 || x >= image.width() || y0 == y1) return;
  // Painted rows: y0 up to but not including y1, in either direction.
  int top = y0 < y1 ? y0 : y1 + 1;
  int bottom = y0 < y1 ? y1 - 1 : y0;
  top = std::max(top, 0);
  bottom = std::min(bottom, image.height() - 1);
  for (int y = top; y <= bottom; ++y) image.setPixel(x, y, colour);
}

}  // namespace sonaveld::view
