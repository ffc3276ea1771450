#include "app/RasterWidget.h"

#include <QMouseEvent>
#include <QPainter>

namespace sonaveld {
namespace {

// The overlay as shown: white becomes fully transparent, every other colour stays opaque.
QImage WithWhiteCleared(const QImage& image) {
  QImage shown = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < shown.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(shown.scanLine(y));
    for (int x = 0; x < shown.width(); ++x) {
      if ((line[x] & 0x00ffffffu) == 0x00ffffffu) line[x] = 0;
    }
  }
  return shown;
}

}  // namespace

RasterWidget::RasterWidget(QImage image, bool whiteIsClear, QWidget* parent)
    : QWidget(parent), image_(std::move(image)), whiteIsClear_(whiteIsClear) {
  setFixedSize(image_.size());
  if (whiteIsClear_) setAttribute(Qt::WA_TranslucentBackground);
  setMouseTracking(whiteIsClear_);
}

void RasterWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, whiteIsClear_ ? WithWhiteCleared(image_) : image_);
}

void RasterWidget::mousePressEvent(QMouseEvent* event) { emit MouseDown(event); }

void RasterWidget::mouseMoveEvent(QMouseEvent* event) { emit MouseMove(event); }

}  // namespace sonaveld
