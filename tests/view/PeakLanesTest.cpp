// Pixel tests of the lanes' peak view on signals whose peaks are known by hand.
#include <QTest>
#include <cmath>
#include <optional>

#include "document/ByteSource.h"
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
  QImage one = NewLane();
  QImage two = NewLane();
  DrawLoopResult loop{};
};

Lanes Draw(ByteSource& source, const WaveHeader& h, const peaks::PeakSummary* summary, int64_t viewStart,
           int32_t zoom) {
  Lanes d;
  const int64_t viewEnd = ComputeViewBounds(h, viewStart, zoom).viewEnd;
  d.loop = DrawPeakLanes(source, h, summary, viewStart, viewEnd, zoom, d.one, d.two);
  return d;
}

Rows Span(int top, int bottom) { return std::make_pair(top, bottom); }

void ExpectColumn(const QImage& lane, int x, Rows want, const char* what) {
  const test::ColumnStroke got = test::StrokeIn(lane, x);
  if (got.rows != want || !got.solidBlue)
    QFAIL(qPrintable(QStringLiteral("%1, column %2: got %3, want %4")
                         .arg(QLatin1String(what)).arg(x).arg(test::RowsText(got.rows), test::RowsText(want))));
}

}  // namespace

class PeakLanesTest : public QObject {
  Q_OBJECT

 private slots:
  void clickInSilence_data();
  void clickInSilence();
  void steadySineIsASolidBand_data();
  void steadySineIsASolidBand();
};

void PeakLanesTest::clickInSilence_data() {
  QTest::addColumn<int>("channels");
  QTest::addColumn<int>("bits");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<qlonglong>("click");
  QTest::newRow("16-bit stereo, zoom 1") << 2 << 16 << 1 << 123457LL;
  QTest::newRow("16-bit stereo, zoom 10") << 2 << 16 << 10 << 123457LL;
  QTest::newRow("16-bit stereo, zoom 255") << 2 << 16 << 255 << 123457LL;
  QTest::newRow("16-bit stereo, zoom 1000") << 2 << 16 << 1000 << 123457LL;
  QTest::newRow("16-bit stereo, zoom 100000") << 2 << 16 << 100000 << 123457LL;
  QTest::newRow("16-bit stereo, largest zoom") << 2 << 16 << 2147483647 << 123457LL;
  QTest::newRow("16-bit mono, zoom 300") << 1 << 16 << 300 << 77LL;
  QTest::newRow("8-bit stereo, zoom 1") << 2 << 8 << 1 << 299999LL;
  QTest::newRow("8-bit stereo, zoom 3000") << 2 << 8 << 3000 << 299999LL;
  QTest::newRow("8-bit mono, zoom 7") << 1 << 8 << 7 << 200001LL;
  QTest::newRow("16-bit stereo, last frame in a short last column") << 2 << 16 << 1000 << 299999LL;
}

// Silence with one full-scale frame (left up, right down): the click's column shows it from the
// zero line (at zoom 1 the click alone), every other column with frames the zero line only, and
// the columns past the last frame nothing. The summary changes no pixel.
void PeakLanesTest::clickInSilence() {
  QFETCH(int, channels);
  QFETCH(int, bits);
  QFETCH(int, zoom);
  QFETCH(qlonglong, click);
  const int64_t frames = 299999;
  test::WavRecipe recipe;
  recipe.channels = channels;
  recipe.bits = bits;
  recipe.frames = frames;
  const int silence = bits == 16 ? 0 : 128;
  recipe.sample = [&](int64_t f, int c) { return f + 1 != click ? silence : bits == 16 ? 32767 - c * 65535 : 255 - c * 255; };
  const std::vector<uint8_t> bytes = test::BuildWav(recipe);
  const WaveHeader h = test::HeaderOf(bytes);
  MemorySource source(bytes);
  const int64_t viewStart = SnapToZoomGrid(std::max<int64_t>(0, click - 300LL * zoom), zoom);
  const Lanes d = Draw(source, h, nullptr, viewStart, zoom);

  const int clickColumn = static_cast<int>((click - viewStart) / zoom + 1);
  const int lastColumn = static_cast<int>(std::min<int64_t>((frames - viewStart) / zoom + 1, 759));
  for (int x = 0; x < kLaneWidth; ++x) {
    const Rows zeroLine = x >= 1 && x <= lastColumn ? Span(80, 80) : Rows{};
    const bool clicked = x == clickColumn;
    ExpectColumn(d.one, x, clicked ? (zoom == 1 ? Span(1, 1) : Span(1, 80)) : zeroLine, "left");
    if (channels == 2) ExpectColumn(d.two, x, clicked ? (zoom == 1 ? Span(159, 159) : Span(80, 159)) : zeroLine, "right");
  }
  if (channels == 1) QCOMPARE(test::CountNot(d.two, kWhite), 0);

  QImage wave1 = NewLane(), wave2 = NewLane();
  const DrawLoopResult wave = DrawWaveLanes(source, h, viewStart, ComputeViewBounds(h, viewStart, zoom).viewEnd,
                                            zoom, wave1, wave2);
  QCOMPARE(d.loop.column, wave.column);
  QCOMPARE(d.loop.readBase, wave.readBase);
  const auto summary = peaks::PeakSummary::Build(source, h, [] { return false; });
  const Lanes fromSummary = Draw(source, h, &*summary, viewStart, zoom);
  QCOMPARE(fromSummary.one, d.one);
  QCOMPARE(fromSummary.two, d.two);
}

void PeakLanesTest::steadySineIsASolidBand_data() {
  QTest::addColumn<int>("zoom");
  QTest::newRow("zoom 1000") << 1000;
  QTest::newRow("zoom 10000") << 10000;
}

// A sine of 100.7 frames per period, left at 20909 (rows 30..130), right at 10659 (rows
// 55..105): every column spans whole periods and shows the full band, unbroken.
void PeakLanesTest::steadySineIsASolidBand() {
  QFETCH(int, zoom);
  test::WavRecipe recipe;
  recipe.frames = 200000;
  recipe.sample = [](int64_t f, int c) {
    return static_cast<int>(std::lround((c == 0 ? 20909 : 10659) * std::sin(2 * M_PI * double(f) / 100.7)));
  };
  const std::vector<uint8_t> bytes = test::BuildWav(recipe);
  const WaveHeader h = test::HeaderOf(bytes);
  MemorySource source(bytes);
  const auto summary = peaks::PeakSummary::Build(source, h, [] { return false; });
  const Lanes d = Draw(source, h, &*summary, 1, zoom);
  for (int x = 1; x <= 200000 / zoom; ++x) {
    ExpectColumn(d.one, x, Span(30, 130), "left");
    ExpectColumn(d.two, x, Span(55, 105), "right");
  }
}

QTEST_GUILESS_MAIN(PeakLanesTest)
#include "PeakLanesTest.moc"
