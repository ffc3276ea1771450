#pragma once
#include <QFont>
#include <QImage>
#include <QRgb>

namespace sonaveld::view {

// The two lane images seen as one stack of 320 rows: rows 0..159 are image1's, rows 160..319
// image2's. Channel k of a file of n channels (counted from 0) is drawn in the lane
//   h = 160 for n of 1 or 2, else 320 div n;   rows k * h .. k * h + h - 1;
//   zero line z = k * h + h div 2;
// so mono fills image1 (image2 stays white), stereo gives each image one channel, and 3 to 8
// channels share the 320 rows (a lane may straddle the two images; the 320 mod n rows below the
// last lane stay background). A sample lands at
//   16-bit scale (16-bit value v, or a wider sample brought to that scale): y = z - v * h div 65600,
//   8-bit unsigned value b:                                              y = k * h + h - b * h div 256,
// divisions truncating toward zero. For h = 160 these are the two-lane rules 80 - v div 410 and
// 160 - b * 5 div 8 exactly.
constexpr int kStackRows = 320;

struct Lane {
  int top = 0;     // first row in the stack
  int height = 0;  // rows
  int Zero() const { return top + height / 2; }
  int Bottom() const { return top + height - 1; }
  int Y16(int v) const;  // the row of a 16-bit-scale value
  int Y8(int b) const;   // the row of an 8-bit unsigned value
};

// The lane of channel k (0-based) of a file of `channels` channels (1 to 8).
Lane LaneOf(int channels, int k);

// Paints on the stack of two lane images (760 x 160 each), rows in stack coordinates.
class LaneStack {
 public:
  LaneStack(QImage& image1, QImage& image2) : image1_(image1), image2_(image2) {}
  // Pixel (x, row) when it lies in the stack; nothing otherwise.
  void Put(int x, int row, QRgb colour);
  // Rows from y0 towards y1 in column x, the end row y1 not painted (as VerticalLine).
  void Stroke(int x, int y0, int y1, QRgb colour);

 private:
  QImage& image1_;
  QImage& image2_;
};

// Writes "1" ... "n" in black at the top left of each lane, in font, for 3 or more channels (mono
// and stereo lanes carry no label). Drawn over the lanes after their columns.
void DrawLaneLabels(QImage& image1, QImage& image2, int channels, const QFont& font);

}  // namespace sonaveld::view
