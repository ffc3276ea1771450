// Pixel tests of the lanes' peak view on signals whose peaks are known by hand.
#include <QTest>
#include <cmath>

#include "io/ByteSource.h"
#include "peaks/PeakSummary.h"
#include "support/WavBuilder.h"
#include "view/PeakLanes.h"
#include "view/PixelProbe.h"
#include "view/ViewImages.h"
#include "view/ViewMath.h"

using namespace sonaveld;
using namespace sonaveld::view;
using Rows = std::optional<std::pair<int, int>>;

namespace {

struct Lanes {
  QImage one = NewLane(), two = NewLane();
};

// The lanes in peak view as a redraw makes them.
Lanes Draw(ByteSource& source, const WaveHeader& h, const peaks::PeakSummary* summary, int64_t viewStart,
           int32_t zoom) {
  Lanes d;
  const int64_t viewEnd = ComputeViewBounds(h, viewStart, zoom).viewEnd;
  DrawPeakLanes(source, h, summary, viewStart, viewEnd, zoom, d.one, d.two);
  return d;
}

void ExpectColumn(const QImage& lane, int x, Rows want) {
  const test::ColumnStroke got = test::StrokeIn(lane, x);
  if (got.rows != want || !got.solidBlue)
    QFAIL(qPrintable(QStringLiteral("column %1: got %2, want %3").arg(x).arg(test::RowsText(got.rows), test::RowsText(want))));
}

}  // namespace

class PeakLanesTest : public QObject {
  Q_OBJECT

 private slots:
  void clickInSilence_data();
  void clickInSilence();
  void steadySineIsASolidBand();
};

void PeakLanesTest::clickInSilence_data() {
  QTest::addColumn<int>("channels");
  QTest::addColumn<int>("bits");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<qlonglong>("click");
  QTest::newRow("16-bit stereo, zoom 1") << 2 << 16 << 1 << 123457LL;
  QTest::newRow("16-bit stereo, zoom 255") << 2 << 16 << 255 << 123457LL;
  QTest::newRow("16-bit stereo, zoom 1000") << 2 << 16 << 1000 << 123457LL;
  QTest::newRow("16-bit stereo, zoom 100000") << 2 << 16 << 100000 << 123457LL;
  QTest::newRow("16-bit stereo, largest zoom") << 2 << 16 << 2147483647 << 123457LL;
  QTest::newRow("16-bit mono, zoom 300") << 1 << 16 << 300 << 77LL;
  QTest::newRow("8-bit stereo, zoom 1") << 2 << 8 << 1 << 299999LL;
  QTest::newRow("8-bit mono, zoom 7") << 1 << 8 << 7 << 200001LL;
  QTest::newRow("last frame, short last column") << 2 << 16 << 1000 << 299999LL;
}

// Silence with one full-scale frame (left up, right down) among 299999: the click's column
// shows it from the zero line (at zoom 1 the click alone), every other column with frames the
// zero line only, the columns past the last frame nothing. The summary changes no pixel.
void PeakLanesTest::clickInSilence() {
  QFETCH(int, channels);
  QFETCH(int, bits);
  QFETCH(int, zoom);
  QFETCH(qlonglong, click);
  const int64_t frames = 299999;
  test::WavRecipe r;
  r.channels = channels, r.bits = bits, r.frames = frames;
  const int silence = bits == 16 ? 0 : 128, high = bits == 16 ? 32767 : 255, low = bits == 16 ? -32768 : 0;
  r.sample = [&](int64_t f, int c) { return f + 1 != click ? silence : c == 0 ? high : low; };
  const std::vector<uint8_t> bytes = test::BuildWav(r);
  const WaveHeader h = test::HeaderOf(bytes);
  MemorySource source(bytes);
  const int64_t viewStart = SnapToZoomGrid(std::max<int64_t>(0, click - 300LL * zoom), zoom);
  const Lanes d = Draw(source, h, nullptr, viewStart, zoom);

  const int clickColumn = static_cast<int>((click - viewStart) / zoom + 1);
  const int lastColumn = static_cast<int>(std::min<int64_t>((frames - viewStart) / zoom + 1, 759));
  for (int x = 0; x < kLaneWidth; ++x) {
    const Rows zeroLine = x >= 1 && x <= lastColumn ? Rows{{80, 80}} : Rows{};
    ExpectColumn(d.one, x, x != clickColumn ? zeroLine : zoom == 1 ? Rows{{1, 1}} : Rows{{1, 80}});
    if (channels == 2) ExpectColumn(d.two, x, x != clickColumn ? zeroLine : zoom == 1 ? Rows{{159, 159}} : Rows{{80, 159}});
  }
  if (channels == 1) QCOMPARE(test::CountNot(d.two, kWhite), 0);
  const auto summary = peaks::PeakSummary::Build(source, h, [] { return false; });
  const Lanes fromSummary = Draw(source, h, &*summary, viewStart, zoom);
  QVERIFY(fromSummary.one == d.one && fromSummary.two == d.two);
}

// A sine of 100.7 frames per period, left at 20909 (rows 30..130), right at 10659 (rows 55..105):
// at zooms 1000 and 10000 every column spans whole periods and shows the full band, unbroken.
void PeakLanesTest::steadySineIsASolidBand() {
  test::WavRecipe r;
  r.frames = 200000;
  r.sample = [](int64_t f, int c) { return int(std::lround((c == 0 ? 20909 : 10659) * std::sin(2 * M_PI * f / 100.7))); };
  const std::vector<uint8_t> bytes = test::BuildWav(r);
  const WaveHeader h = test::HeaderOf(bytes);
  MemorySource source(bytes);
  const auto summary = peaks::PeakSummary::Build(source, h, [] { return false; });
  for (int zoom : {1000, 10000}) {
    const Lanes d = Draw(source, h, &*summary, 1, zoom);
    for (int x = 1; x <= 200000 / zoom; ++x) {
      ExpectColumn(d.one, x, Rows{{30, 130}});
      ExpectColumn(d.two, x, Rows{{55, 105}});
    }
  }
}

QTEST_GUILESS_MAIN(PeakLanesTest)
#include "PeakLanesTest.moc"
