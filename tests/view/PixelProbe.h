#pragma once
#include <QImage>
#include <QRgb>
#include <QString>
#include <optional>
#include <utility>

#include "document/WaveProbe.h"

namespace sonaveld::test {

// Rows painted in one column of a lane: the first and last non-white row, and whether every
// painted pixel is blue and every row between them painted (one unbroken stroke).
struct ColumnStroke {
  std::optional<std::pair<int, int>> rows;  // nullopt: the column is white
  bool solidBlue = true;
};
ColumnStroke StrokeIn(const QImage& lane, int x);

// The rows a stroke from (x, 80) to (x, y) covers, the end point not painted; nullopt for y == 80.
std::optional<std::pair<int, int>> ExpectedStroke(int y);

// Number of pixels of the image that are not the given colour.
int CountNot(const QImage& image, QRgb colour);

// Number of pixels in column x that are exactly the colour.
int CountInColumn(const QImage& image, int x, QRgb colour);

// Header of a probed in-memory WAV image.
WaveHeader HeaderOf(const std::vector<uint8_t>& bytes);

QString RowsText(const std::optional<std::pair<int, int>>& rows);

}  // namespace sonaveld::test
