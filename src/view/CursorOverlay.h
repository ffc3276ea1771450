#pragma once
#include <QImage>

namespace sonaveld::view {

// The overlay image3 over both lanes carries only the red cursor line; everywhere else it is
// transparent (white with alpha 0). The images must be overlays (NewOverlay()).

// Makes the whole overlay transparent, removing the cursor line.
void ClearOverlay(QImage& image3);

// Draws the pure red cursor line at overlay column x, rows 0..323. x outside 0..759 draws nothing.
void DrawCursorLine(QImage& image3, int x);

// The cursor line as the screen shows it: the last x in 0..760 whose pixel (x, 10) is pure red;
// -1 when there is none. x = 760 lies outside the overlay and never counts.
int FindCursorColumn(const QImage& image3);

// True when a cursor line shows (FindCursorColumn >= 0).
bool CursorLineShowing(const QImage& image3);

}  // namespace sonaveld::view
