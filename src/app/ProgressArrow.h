#pragma once
#include <QImage>
#include <cstdint>

class QWidget;

namespace sonaveld {

class RasterWidget;

// The progress arrow that Timer2Timer draws below the cut map strip while a file is written: an
// upward red arrow whose tip stands at window x 18 + Trunc(CopyPos / FileSize * 622), rows 40..49.

// Window coordinates of the band that carries the arrow. It spans every pixel an arrow can touch
// (x 16..642), so erasing the band removes the whole of the previous arrow.
inline constexpr int kProgressBandLeft = 8, kProgressBandTop = 40;
inline constexpr int kProgressBandWidth = 641, kProgressBandHeight = 10;

// Window x of the arrow for a copy at byte copyPos of a source of fileSize bytes: 18 at 0, 640 at
// the end. A fileSize of 0 or below gives 18.
int ProgressArrowX(int64_t copyPos, int64_t fileSize);

// Fills the band with the window's background colour.
void EraseProgressBand(QImage& band, QRgb background);

// Draws the arrow at window x on the band: a red line from (x, 40) to (x, 50) and the two head
// lines from (x, 40) to (x - 2, 45) and (x + 2, 45), end points not painted.
void DrawProgressArrow(QImage& band, int x);

// Creates the band on the client area of the main window, erased, at its place.
RasterWidget* NewProgressBand(QWidget* client);

}  // namespace sonaveld
