#include "view/ViewMath.h"

#include <QRegularExpression>
#include <algorithm>

#include "view/ViewImages.h"

namespace sonaveld::view {

int32_t SafeZoom(int32_t zoom) { return std::max<int32_t>(zoom, 1); }

int64_t SnapToZoomGrid(int64_t scrollPosition, int32_t zoom) {
  const int64_t z = SafeZoom(zoom);
  return (scrollPosition / z) * z + 1;
}

int64_t ColumnOfFrame(int64_t frame, int64_t viewStart, int32_t zoom) {
  return (frame - viewStart) / SafeZoom(zoom) + 1;
}

bool CursorLineSkipped(int64_t scrollPosition, const QString& zoomBoxText, int64_t linePos) {
  return scrollPosition == 1 && zoomBoxText == QStringLiteral("500") && linePos == 1;
}

int64_t ZoomChangeScrollPosition(int lineColumn, int64_t linePos, int64_t scrollPosition, int32_t zoom,
                                 const WaveHeader& header) {
  const int64_t z = SafeZoom(zoom);
  int64_t proposed = 0;
  if (lineColumn < 0) {
    proposed = SnapToZoomGrid(scrollPosition, zoom);
  } else {
    proposed = std::max<int64_t>(linePos - (lineColumn - 1) * z, 0);
  }
  if (header.FrameSize() > 0) {
    const int64_t limit = header.Frames() - kLaneWidth * z;
    proposed = std::min(proposed, limit);
  }
  return proposed;
}

std::optional<int64_t> ParseWholeNumber(const QString& text) {
  bool ok = false;
  const qlonglong value = text.trimmed().toLongLong(&ok, 10);
  if (!ok) return std::nullopt;
  return static_cast<int64_t>(value);
}

ZoomReading ReadZoomText(const QString& text) {
  const std::optional<int64_t> value = ParseWholeNumber(text);
  if (!value) {
    static const QRegularExpression kDigits(QStringLiteral("^([+-]?)[0-9]+$"));
    const QRegularExpressionMatch match = kDigits.match(text.trimmed());
    if (!match.hasMatch()) return {0, ZoomRefusal::kNotInteger};
    return {0, match.captured(1) == QLatin1String("-") ? ZoomRefusal::kBelowOne : ZoomRefusal::kTooLarge};
  }
  if (*value < 1) return {0, ZoomRefusal::kBelowOne};
  if (*value > kMaxZoom) return {0, ZoomRefusal::kTooLarge};
  return {static_cast<int32_t>(*value), ZoomRefusal::kNone};
}

}  // namespace sonaveld::view
