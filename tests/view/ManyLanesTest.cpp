// The lanes of files of 3 to 8 channels by pixel, normal and peak view, against pictures painted
// here from the lane rule: lane k of n is rows k*h .. k*h+h-1 of the 320-row stack of both images
// (h = 320 div n), zero line k*h + h div 2, 16-bit v at zero - trunc(v*h/65600), 8-bit b at
// k*h + h - trunc(b*h/256); the rows below the last lane stay white.
#include <QTest>
#include <algorithm>

#include "io/ByteSource.h"
#include "peaks/PeakSummary.h"
#include "support/WavBuilder.h"
#include "view/PeakLanes.h"
#include "view/PixelProbe.h"
#include "view/ViewImages.h"
#include "view/WaveLanes.h"

using namespace sonaveld;
using namespace sonaveld::view;

namespace {

// Spread over the whole range (8-bit: 0 and 255 included), different in every channel.
int Sample(int64_t f, int c, int bits) {
  const int64_t n = f * 11 + c * 5 + (f / 3) * c;
  return bits == 8 ? static_cast<int>(n * 37 % 256) : static_cast<int>(n * 1213 % 65536) - 32768;
}

int Row(int n, int k, int bits, int v) {
  const int h = 320 / n;
  return bits == 8 ? k * h + h - v * h / 256 : k * h + h / 2 - static_cast<int>(int64_t{v} * h / 65600);
}

// Blue rows of the stack: zoom 0 is the normal view at zoom 1 (a stroke from the zero line
// towards the row, the end row left out), else the peak view at that zoom (largest to smallest
// value, both held within the lane).
QImage Picture(int n, int bits, int64_t frames, int zoom) {
  QImage p(760, 320, QImage::Format_RGB32);
  p.fill(kWhite);
  const int h = 320 / n, z = std::max(zoom, 1);
  for (int x = 1; x < 760 && int64_t{x - 1} * z < frames; ++x) {
    for (int k = 0; k < n; ++k) {
      int low = 1 << 20, high = -low;
      for (int64_t f = int64_t{x - 1} * z; f < std::min<int64_t>(int64_t{x} * z, frames); ++f) {
        low = std::min(low, Sample(f, k, bits)), high = std::max(high, Sample(f, k, bits));
      }
      const int zero = k * h + h / 2, y = Row(n, k, bits, low);
      int top = y < zero ? y + 1 : zero, bottom = y < zero ? zero : y - 1;
      if (zoom > 0) top = std::max(Row(n, k, bits, high), k * h), bottom = std::min(y, k * h + h - 1);
      for (int r = top; r <= bottom; ++r) p.setPixel(x, r, kBlue);
    }
  }
  return p;
}

}  // namespace

class ManyLanesTest : public QObject {
  Q_OBJECT

 private slots:
  void lanesByPixel() {
    struct Case {
      int channels, bits, zoom;
      bool summary;
    };
    // 4 x 16-bit: lanes of 80 rows; 6 x 8-bit: 53 rows, rows 318 and 319 left over; 3 x 8-bit:
    // 106 rows. The peak view read from the file (zoom 3, 9) and from the summary (600).
    for (const Case& c : {Case{4, 16, 0, false}, {4, 16, 9, false}, {4, 16, 600, true}, {6, 8, 0, false},
                          {6, 8, 3, false}, {3, 8, 0, false}, {3, 8, 3, false}}) {
      test::WavRecipe r;
      r.channels = c.channels, r.bits = c.bits, r.frames = 9000, r.extensible = c.channels == 6;
      r.sample = [&c](int64_t f, int ch) { return Sample(f, ch, c.bits); };
      const std::vector<uint8_t> bytes = test::BuildWav(r);
      const WaveHeader header = test::HeaderOf(bytes);
      MemorySource source(bytes);
      const auto summary = peaks::PeakSummary::Build(source, header, [] { return false; });
      QImage one = NewLane(), two = NewLane();
      if (c.zoom == 0) DrawWaveLanes(source, header, 1, 759, 1, one, two);
      else DrawPeakLanes(source, header, c.summary ? &*summary : nullptr, 1, 759, c.zoom, one, two);
      const QImage want = Picture(c.channels, c.bits, 9000, c.zoom);
      for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 760; ++x) {
          if ((y < 160 ? one : two).pixel(x, y % 160) != want.pixel(x, y))
            QFAIL(qPrintable(QStringLiteral("%1 channels, zoom %2: pixel (%3, %4)").arg(c.channels).arg(c.zoom).arg(x).arg(y)));
        }
      }
    }
  }
};

QTEST_GUILESS_MAIN(ManyLanesTest)
#include "ManyLanesTest.moc"
