#pragma once
#include <QImage>
#include <cstdint>
#include <vector>

#include "document/WaveProbe.h"

namespace sonaveld::view {

// Strip position of a mark: trunc(mark / ((DataEnd - DataOffset) / FrameBytes) * 621) in double
// precision, kept within 0..621 (a file without samples or a mark past the end maps to 621).
// 0 for a file without a format kind.
int CutMapX(int64_t mark, const WaveHeader& h);

// A kept range on the strip: a box outlining x = left .. right - 1, rows 0..7.
struct CutMapBox {
  int left;
  int right;
};

// The boxes of the ranges the cut-edited file keeps. sortedMarks: the marks ascending (zeros are
// ignored). keepHead on: (0, X1), (X2, X3), ... and, for an even count, (Xn, 621); off: (X1, X2),
// (X3, X4), ... and, for an odd count, (Xn, 621). No marks: no boxes.
std::vector<CutMapBox> CutMapBoxes(const std::vector<int64_t>& sortedMarks, bool keepHead, const WaveHeader& h);

// PointImageDrow: clears the strip image5 (NewStrip()) white and draws the boxes of CutMapBoxes
// with a blue outline and a white interior. A box narrower than one pixel draws nothing.
void DrawCutMap(QImage& image5, const std::vector<int64_t>& sortedMarks, bool keepHead, const WaveHeader& h);

}  // namespace sonaveld::view
