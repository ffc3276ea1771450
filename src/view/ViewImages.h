#pragma once
#include <QImage>
#include <QRgb>

namespace sonaveld::view {

// Sizes of the view's rasters in pixels.
constexpr int kLaneWidth = 760, kLaneHeight = 160, kOverlayHeight = 324, kRulerHeight = 25;
constexpr int kStripWidth = 621, kStripHeight = 8;

// Colours of the view (pens of the waveform, cursor line, ticks and cut map boxes).
constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr QRgb kBlue = 0xFF0000FFu;
constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kGreen = 0xFF00FF00u;
// The overlay's empty pixel: white with alpha 0, so it reads as white and shows the lanes through.
constexpr QRgb kClearOverlay = 0x00FFFFFFu;

// Each image is created at 96 dots per inch, so a font in points paints at the same pixel size
// on every machine (9 pt = 12 px).
QImage NewLane();     // 760 x 160, Format_RGB32, white
QImage NewOverlay();  // 760 x 324, Format_ARGB32, fully transparent
QImage NewRuler();    // 760 x 25, Format_RGB32, white
QImage NewStrip();    // 621 x 8, Format_RGB32, white

// True when the pixel at (x, y) is pure red (255, 0, 0) and opaque; false outside the image.
bool IsPureRed(const QImage& image, int x, int y);

// Paints pixel (x, y) when it lies inside the image; nothing otherwise.
void PutPixel(QImage& image, int x, int y, QRgb colour);

// A vertical line from (x, y0) towards (x, y1), the end point (x, y1) not painted; clipped to
// the image. y0 == y1 paints nothing.
void VerticalLine(QImage& image, int x, int y0, int y1, QRgb colour);

}  // namespace sonaveld::view
