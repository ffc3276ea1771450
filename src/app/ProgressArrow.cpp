#include "app/ProgressArrow.h"

#include <QPalette>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/RasterWidget.h"
#include "view/ViewImages.h"

namespace sonaveld {
namespace {

constexpr int kArrowLeft = 18;
constexpr int kArrowSpan = 622;

// A line from (x0, y0) towards (x1, y1) in window coordinates, end point not painted, one pixel per
// step of the longer axis, each rounded to the nearest pixel.
void Line(QImage& band, int x0, int y0, int x1, int y1) {
  const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
  for (int i = 0; i < steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const int x = x0 + static_cast<int>(std::lround((x1 - x0) * t));
    const int y = y0 + static_cast<int>(std::lround((y1 - y0) * t));
    view::PutPixel(band, x - kProgressBandLeft, y - kProgressBandTop, view::kRed);
  }
}

}  // namespace

int ProgressArrowX(int64_t copyPos, int64_t fileSize) {
  if (fileSize <= 0) return kArrowLeft;
  const double share = static_cast<double>(copyPos) / static_cast<double>(fileSize);
  return kArrowLeft + static_cast<int>(share * kArrowSpan);
}

void EraseProgressBand(QImage& band, QRgb background) { band.fill(background); }

void DrawProgressArrow(QImage& band, int x) {
  Line(band, x, 40, x, 50);
  Line(band, x, 40, x - 2, 45);
  Line(band, x, 40, x + 2, 45);
}

RasterWidget* NewProgressBand(QWidget* client) {
  QImage image(kProgressBandWidth, kProgressBandHeight, QImage::Format_RGB32);
  EraseProgressBand(image, client->palette().color(QPalette::Button).rgb());
  auto* band = new RasterWidget(std::move(image), false, client);
  band->setObjectName(QStringLiteral("ProgressBand"));
  band->setGeometry(kProgressBandLeft, kProgressBandTop, kProgressBandWidth, kProgressBandHeight);
  return band;
}

}  // namespace sonaveld
