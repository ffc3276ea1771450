#pragma once
#include <QImage>
#include <QWidget>

namespace sonaveld {

// A control that shows one raster (Image1 .. Image5) at its natural size. With whiteIsClear set it
// is drawn as an overlay: white pixels let the controls beneath show through. The raster itself
// stays an opaque RGB image so that the drawing code and the tests read true colours.
class RasterWidget : public QWidget {
  Q_OBJECT

 public:
  RasterWidget(QImage image, bool whiteIsClear, QWidget* parent);

  QImage& Image() { return image_; }
  const QImage& Image() const { return image_; }
  // Schedules a repaint after the raster was drawn on.
  void Changed() { update(); }

 signals:
  void MouseDown(QMouseEvent* event);
  void MouseMove(QMouseEvent* event);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QImage image_;
  bool whiteIsClear_;
};

}  // namespace sonaveld
