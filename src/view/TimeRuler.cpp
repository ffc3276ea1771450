#include "view/TimeRuler.h"

#include <QFontMetrics>
#include <QPainter>

#include "view/ViewImages.h"
#include "view/ViewMath.h"

namespace sonaveld::view {

namespace {

constexpr int kMarkerTop = 12;
constexpr int kMarkerProbeRow = 15;
constexpr int64_t kThinningZoom = 1000;

// The labels of the drawn ticks, left to right: black text on an opaque white box at (column, 0)
// as wide and high as the text. A label whose box would overlap the box of the last label drawn
// is skipped (its tick line stays), so every label shown is whole. Drawn after all tick lines,
// so no later line crosses a label.
void DrawLabels(QImage& image4, const std::vector<RulerTick>& ticks, const QFont& font) {
  QPainter painter(&image4);
  painter.setFont(font);
  painter.setPen(QColor(Qt::black));
  const QFontMetrics metrics(font, &image4);
  int freeFrom = 0;  // first column right of the last label drawn
  for (const RulerTick& tick : ticks) {
    const QString text = SecondsLabel(tick.second);
    const QRect box(tick.column, 0, metrics.horizontalAdvance(text), metrics.height());
    if (box.left() < freeFrom) continue;
    painter.fillRect(box, QColor(kWhite));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    freeFrom = box.left() + box.width();
  }
}

bool TickShown(int64_t second, int64_t zoomBoxValue) {
  return zoomBoxValue <= kThinningZoom || (second % 60) % 10 == 0;
}

}  // namespace

std::vector<RulerTick> RulerTicks(int64_t viewStart, int32_t zoom, int32_t sampleRate) {
  std::vector<RulerTick> ticks;
  const int64_t z = SafeZoom(zoom);
  int64_t running = viewStart;
  int64_t previous = 0;
  for (int c = 1; c <= kLaneWidth; ++c) {
    running += z;
    const int64_t second = running / sampleRate;
    if (c >= 2 && second != previous) ticks.push_back({c, second});
    previous = second;
  }
  return ticks;
}

QString SecondsLabel(int64_t second) {
  return QStringLiteral("%1m%2s").arg(second / 60).arg(second % 60);
}

Status DrawTimeRuler(QImage& image4, int64_t viewStart, int32_t zoom, int32_t sampleRate,
                     const QString& zoomBoxText, const std::vector<int64_t>& marks, const QFont& labelFont) {
  if (sampleRate == 0) return Status::Fail(MessageId::kDivisionByZero);
  const std::vector<RulerTick> ticks = RulerTicks(viewStart, zoom, sampleRate);
  image4.fill(kWhite);
  if (!ticks.empty()) {
    // The zoom box's text, not the Zoom field, decides the thinning.
    const std::optional<int64_t> boxValue = ParseWholeNumber(zoomBoxText);
    if (!boxValue) return Status::Fail(MessageId::kNotInteger, zoomBoxText.toStdString());
    std::vector<RulerTick> shown;
    for (const RulerTick& tick : ticks) {
      if (TickShown(tick.second, *boxValue)) shown.push_back(tick);
    }
    for (const RulerTick& tick : shown) VerticalLine(image4, tick.column, 0, kRulerHeight, kGreen);
    DrawLabels(image4, shown, labelFont);
  }
  for (int64_t mark : marks) DrawMarkMarker(image4, mark, viewStart, zoom);
  return Status::Ok();
}

void DrawMarkMarker(QImage& image4, int64_t mark, int64_t viewStart, int32_t zoom) {
  const int64_t z = SafeZoom(zoom);
  if (mark < viewStart || mark > viewStart + kLaneWidth * z) return;
  const int x = static_cast<int>(ColumnOfFrame(mark, viewStart, zoom));
  for (int dx = -1; dx <= 1; ++dx) VerticalLine(image4, x + dx, kMarkerTop, image4.height(), kRed);
}

bool MarkerAtColumn(const QImage& image4, int lineX) {
  for (int dx = -1; dx <= 1; ++dx) {
    if (IsPureRed(image4, lineX + dx, kMarkerProbeRow)) return true;
  }
  return false;
}

}  // namespace sonaveld::view
