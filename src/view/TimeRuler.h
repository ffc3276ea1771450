#pragma once
#include <QFont>
#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

#include "base/Status.h"

namespace sonaveld::view {

// One tick of the ruler: the column (2..760) where a new whole second begins, and that second.
struct RulerTick {
  int column;
  int64_t second;
};

// The ticks of a view: S(c) = (viewStart + c * zoom) div sampleRate for c = 1..760; a tick at every
// c >= 2 where S(c) differs from S(c - 1). sampleRate must not be 0.
std::vector<RulerTick> RulerTicks(int64_t viewStart, int32_t zoom, int32_t sampleRate);

// The label of second s: minutes "m" seconds "s", no leading zeros ("0m5s", "1m15s", "12m0s").
QString SecondsLabel(int64_t second);

// TimeLineDrow: redraws the ruler image4 (NewRuler()). Clears it white; draws every tick as a green
// line at its column, rows 0..24, with its label at (column, 0) in labelFont, black on an opaque
// white box; when zoomBoxText's value is above 1000 only ticks whose second within the minute is a
// multiple of 10. A label whose box would overlap the last label drawn is left out, its tick line
// kept. Then draws the markers of the marks in view (marks: the marks in slot order, that is
// slots 1..n with n the line count of Memo1).
// Fails with "'%s' は整数ではありません" when a tick is due and zoomBoxText is not a whole number
// (ruler white, no markers); with "ゼロによる除算" when sampleRate is 0 (ruler left untouched).
Status DrawTimeRuler(QImage& image4, int64_t viewStart, int32_t zoom, int32_t sampleRate,
                     const QString& zoomBoxText, const std::vector<int64_t>& marks, const QFont& labelFont);

// The marker of one mark on image4, when viewStart <= mark <= viewStart + 760 * zoom: pure red
// lines at x - 1, x and x + 1, rows 12..24, where x = (mark - viewStart) div zoom + 1.
void DrawMarkMarker(QImage& image4, int64_t mark, int64_t viewStart, int32_t zoom);

// True when a pure red pixel lies in row 15 of image4 at column lineX - 1, lineX or lineX + 1:
// the cursor line at lineX stands on a mark's marker.
bool MarkerAtColumn(const QImage& image4, int lineX);

}  // namespace sonaveld::view
