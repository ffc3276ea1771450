#pragma once
#include <QString>
#include <cstdint>
#include <limits>
#include <optional>

#include "document/WaveProbe.h"
#include "view/ViewImages.h"

namespace sonaveld::view {

// Position arithmetic shared by the redraw, the scroll and zoom handlers and the ruler.
// Positions are 1-based sample frames; zoom is frames per pixel column (values below 1 are
// treated as 1).

// Zoom as the drawing code uses it: at least 1.
int32_t SafeZoom(int32_t zoom);

// The view start on the zoom grid for a scroll position: (position div zoom) * zoom + 1.
int64_t SnapToZoomGrid(int64_t scrollPosition, int32_t zoom);

// Overlay column of the frame linePos in a view from viewStart: (linePos - viewStart) div zoom + 1,
// truncating toward zero. May lie outside 0..759.
int64_t ColumnOfFrame(int64_t frame, int64_t viewStart, int32_t zoom);

// The cursor line is not redrawn when, together, the scroll position is 1, the zoom box reads
// exactly "500" and the line is at frame 1.
bool CursorLineSkipped(int64_t scrollPosition, const QString& zoomBoxText, int64_t linePos);

// The scroll position a zoom change proposes, before the scroll bar clamps it to its range:
// keeps the frame under the cursor line (found at overlay column lineColumn, -1 when none) in
// its column; without a line, the old position snapped to the new grid. Limited to
// Frames - 760 * zoom (frames up to DataEnd), and not below 0.
int64_t ZoomChangeScrollPosition(int lineColumn, int64_t linePos, int64_t scrollPosition, int32_t zoom,
                                 const WaveHeader& header);

// The zoom box's text as a whole number (decimal, optional sign, surrounding blanks allowed);
// nullopt when it is not one (empty, letters, out of the 64-bit range).
std::optional<int64_t> ParseWholeNumber(const QString& text);

// The widest zoom: one screen of it (760 columns) still fits the scroll bar's 32-bit positions, so
// the scroll steps (100 and 760 columns) and the positions the view reaches stay exact.
inline constexpr int32_t kMaxZoom = std::numeric_limits<int32_t>::max() / kLaneWidth;

// Why a zoom box text gives no zoom.
enum class ZoomRefusal { kNone, kNotInteger, kBelowOne, kTooLarge };
struct ZoomReading {
  int32_t zoom = 0;  // 1..kMaxZoom when refusal is kNone
  ZoomRefusal refusal = ZoomRefusal::kNone;
};
// The zoom box's text as a zoom of 1..kMaxZoom, or why it is none: no whole number, 0 or below, or
// above kMaxZoom (a whole number past the 64-bit range too, by its sign).
ZoomReading ReadZoomText(const QString& text);

}  // namespace sonaveld::view
