#include "view/PixelProbe.h"

#include "io/ByteSource.h"
#include "view/ViewImages.h"

namespace sonaveld::test {

ColumnStroke StrokeIn(const QImage& lane, int x) {
  ColumnStroke stroke;
  int first = -1, last = -1, painted = 0;
  for (int y = 0; y < lane.height(); ++y) {
    const QRgb p = lane.pixel(x, y);
    if (p == view::kWhite) continue;
    if (p != view::kBlue) stroke.solidBlue = false;
    if (first < 0) first = y;
    last = y;
    ++painted;
  }
  if (first >= 0) {
    stroke.rows = std::make_pair(first, last);
    if (painted != last - first + 1) stroke.solidBlue = false;
  }
  return stroke;
}

std::optional<std::pair<int, int>> ExpectedStroke(int y) {
  if (y == 80) return std::nullopt;
  return y < 80 ? std::make_pair(y + 1, 80) : std::make_pair(80, y - 1);
}

int CountNot(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != colour;
  return n;
}

int CountInColumn(const QImage& image, int x, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) n += image.pixel(x, y) == colour;
  return n;
}

WaveHeader HeaderOf(const std::vector<uint8_t>& bytes) {
  MemorySource source(bytes);
  return ProbeWave(source).header;
}

QString RowsText(const std::optional<std::pair<int, int>>& rows) {
  return rows ? QStringLiteral("%1..%2").arg(rows->first).arg(rows->second) : QStringLiteral("none");
}

}  // namespace sonaveld::test
