// Pixel tests of the time ruler: ticks, labels, thinning, mark bars and the two failures.
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QTest>

#include "view/PixelProbe.h"
#include "view/TimeRuler.h"
#include "view/ViewImages.h"

using namespace sonaveld;
using namespace sonaveld::view;

namespace {

constexpr int kTickRow = 24;  // below every label: only tick lines and mark bars reach it

QFont LabelFont() { return QFont(QStringLiteral("IPAPGothic"), 9); }

QList<int> ColumnsOf(const QImage& image, int row, QRgb colour) {
  QList<int> columns;
  for (int x = 0; x < image.width(); ++x)
    if (image.pixel(x, row) == colour) columns.append(x);
  return columns;
}

// The label of second s drawn alone at (column, 0) on a white ruler, as a reader expects to see it.
QImage LabelAlone(int column, int64_t second, const QFont& font) {
  QImage alone = NewRuler();
  QPainter painter(&alone);
  painter.setFont(font);
  painter.setPen(QColor(Qt::black));
  painter.drawText(QPoint(column, QFontMetrics(font, &alone).ascent()), SecondsLabel(second));
  return alone;
}

int NonWhiteIn(const QImage& image, const QRect& rect) {
  int n = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x) n += image.pixel(x, y) != kWhite;
  return n;
}

}  // namespace

class TimeRulerTest : public QObject {
  Q_OBJECT

 private slots:
  void firstTicksAt44100();
  void secondsLabel_data();
  void secondsLabel();
  void tickColumns_data();
  void tickColumns();
  void labelsWhole_data();
  void labelsWhole();
  void markBars_data();
  void markBars();
  void markerAtColumn_data();
  void markerAtColumn();
  void zoomTextNotANumber_data();
  void zoomTextNotANumber();
  void rateZeroLeavesTheRuler();
};

// 44100 Hz at zoom 1000 from frame 1: ticks at 45 (0m1s) and 89 (0m2s).
void TimeRulerTest::firstTicksAt44100() {
  const std::vector<RulerTick> ticks = RulerTicks(1, 1000, 44100);
  QVERIFY(ticks.size() >= 2);
  QCOMPARE(ticks[0].column, 45);
  QCOMPARE(ticks[0].second, int64_t{1});
  QCOMPARE(ticks[1].column, 89);
  QCOMPARE(ticks[1].second, int64_t{2});

  QImage image4 = NewRuler();
  QVERIFY(DrawTimeRuler(image4, 1, 1000, 44100, QStringLiteral("1000"), {}, LabelFont()).ok());
  QCOMPARE(ColumnsOf(image4, kTickRow, kGreen).mid(0, 2), (QList<int>{45, 89}));
  QCOMPARE(image4.pixel(45, kTickRow), kGreen);
  QVERIFY(image4.pixel(45, 0) != kGreen);  // the label's white box covers the tick's top
  QCOMPARE(NonWhiteIn(image4, QRect(0, 0, 45, 25)), 0);  // nothing before the first tick
  // The label "0m1s" to the right of the tick, in dark text.
  const QRect label(46, 0, 20, 12);
  QVERIFY(NonWhiteIn(image4, label) > 10);
  bool dark = false;
  for (int y = label.top(); y <= label.bottom(); ++y)
    for (int x = label.left(); x <= label.right(); ++x) dark |= qGray(image4.pixel(x, y)) < 100;
  QVERIFY(dark);
}

void TimeRulerTest::secondsLabel_data() {
  QTest::addColumn<qlonglong>("second");
  QTest::addColumn<QString>("label");
  QTest::newRow("5") << 5LL << QStringLiteral("0m5s");
  QTest::newRow("75") << 75LL << QStringLiteral("1m15s");
  QTest::newRow("720") << 720LL << QStringLiteral("12m0s");
  QTest::newRow("0") << 0LL << QStringLiteral("0m0s");
}

void TimeRulerTest::secondsLabel() {
  QFETCH(qlonglong, second);
  QFETCH(QString, label);
  QCOMPARE(SecondsLabel(second), label);
}

void TimeRulerTest::tickColumns_data() {
  QTest::addColumn<qlonglong>("viewStart");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<int>("rate");
  QTest::addColumn<QString>("zoomText");
  QTest::addColumn<bool>("thinned");
  QTest::newRow("zoom 1000") << 1LL << 1000 << 44100 << QStringLiteral("1000") << false;
  QTest::newRow("zoom 3000") << 1LL << 3000 << 44100 << QStringLiteral("3000") << true;
  QTest::newRow("zoom 5000 later") << 2000001LL << 5000 << 44100 << QStringLiteral("5000") << true;
  QTest::newRow("zoom 10000") << 1LL << 10000 << 44100 << QStringLiteral("10000") << true;
  QTest::newRow("zoom 10000, box still 1000") << 1LL << 10000 << 44100 << QStringLiteral("1000") << false;
  QTest::newRow("zoom 1000, box 1001") << 1LL << 1000 << 22050 << QStringLiteral("1001") << true;
  QTest::newRow("zoom 100: one tick") << 1LL << 100 << 44100 << QStringLiteral("100") << false;
  QTest::newRow("8000 Hz, zoom 300") << 1234LL << 300 << 8000 << QStringLiteral("300") << false;
}

// The green columns are exactly the frames where a new second begins, checked against
// c = the first column whose right-hand frame viewStart + c * zoom reaches s * rate.
void TimeRulerTest::tickColumns() {
  QFETCH(qlonglong, viewStart);
  QFETCH(int, zoom);
  QFETCH(int, rate);
  QFETCH(QString, zoomText);
  QFETCH(bool, thinned);
  QList<int> expected;
  const int64_t firstSecond = (viewStart + zoom) / rate + 1;
  for (int64_t s = firstSecond;; ++s) {
    const int64_t c = (s * rate - viewStart + zoom - 1) / zoom;  // ceil
    if (c > 759) break;
    if (!thinned || (s % 60) % 10 == 0) expected.append(static_cast<int>(c));
  }
  QImage image4 = NewRuler();
  QVERIFY(DrawTimeRuler(image4, viewStart, zoom, rate, zoomText, {}, LabelFont()).ok());
  QCOMPARE(ColumnsOf(image4, kTickRow, kGreen), expected);
  for (int c : expected) QCOMPARE(test::CountInColumn(image4, c, kGreen) > 0, true);
}

void TimeRulerTest::labelsWhole_data() {
  QTest::addColumn<qlonglong>("viewStart");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<bool>("everyLabel");  // ordinary views: no label left out
  const qlonglong minute = 44100LL * 60;
  QTest::newRow("zoom 1000 from the start") << 1LL << 1000 << true;
  QTest::newRow("zoom 3000 from the start") << 1LL << 3000 << true;
  QTest::newRow("zoom 1000 past 100 minutes") << 105 * minute + 1 << 1000 << false;
  QTest::newRow("zoom 1000 past 1000 minutes") << 1000 * minute + 1 << 1000 << false;
  QTest::newRow("zoom 50000") << 1LL << 50000 << false;
  QTest::newRow("zoom 1000000 past 100 minutes") << 100 * minute + 1 << 1000000 << false;
}

// At 44100 Hz every tick line is drawn; each label shown equals the label drawn alone, and no
// piece of a left-out label shows (outside the shown boxes the label rows hold only white and
// tick green). A label is left out exactly when it would overlap the last one shown.
void TimeRulerTest::labelsWhole() {
  QFETCH(qlonglong, viewStart);
  QFETCH(int, zoom);
  QFETCH(bool, everyLabel);
  QImage image4 = NewRuler();
  QVERIFY(DrawTimeRuler(image4, viewStart, zoom, 44100, QString::number(zoom), {}, LabelFont()).ok());
  std::vector<RulerTick> ticks = RulerTicks(viewStart, zoom, 44100);
  std::erase_if(ticks, [zoom](const RulerTick& t) { return zoom > 1000 && (t.second % 60) % 10 != 0; });
  QList<int> tickColumns;
  for (const RulerTick& tick : ticks) tickColumns.append(tick.column);
  QCOMPARE(ColumnsOf(image4, kTickRow, kGreen), tickColumns);

  const QFontMetrics metrics(LabelFont(), &image4);
  QImage outside = image4;
  int freeFrom = 0;
  size_t shown = 0;
  for (const RulerTick& tick : ticks) {
    if (tick.column < freeFrom) continue;
    const QRect box(tick.column, 0, metrics.horizontalAdvance(SecondsLabel(tick.second)), metrics.height());
    freeFrom = box.left() + box.width();
    ++shown;
    QCOMPARE(image4.copy(box), LabelAlone(tick.column, tick.second, LabelFont()).copy(box));
    QPainter(&outside).fillRect(box, QColor(kWhite));
  }
  QCOMPARE(shown == ticks.size(), everyLabel);
  for (int y = 0; y < metrics.height(); ++y)
    for (int x = 0; x < outside.width(); ++x) QVERIFY(outside.pixel(x, y) == kWhite || outside.pixel(x, y) == kGreen);
}

void TimeRulerTest::markBars_data() {
  QTest::addColumn<qlonglong>("viewStart");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<QList<qlonglong>>("marks");
  QTest::addColumn<QList<int>>("redColumns");
  QTest::newRow("mark at the view start") << 1LL << 1000 << QList<qlonglong>{1} << QList<int>{0, 1, 2};
  QTest::newRow("mark in the middle") << 1LL << 1000 << QList<qlonglong>{500001} << QList<int>{500, 501, 502};
  QTest::newRow("same column, rounded down") << 1001LL << 1000 << QList<qlonglong>{501999} << QList<int>{500, 501, 502};
  QTest::newRow("last visible column") << 1LL << 1000 << QList<qlonglong>{760000} << QList<int>{759};
  QTest::newRow("upper end of the range: x 761") << 1LL << 1000 << QList<qlonglong>{760001} << QList<int>{};
  QTest::newRow("before the view") << 1001LL << 1000 << QList<qlonglong>{1000} << QList<int>{};
  QTest::newRow("after the view") << 1LL << 100 << QList<qlonglong>{76002} << QList<int>{};
  QTest::newRow("two marks") << 101LL << 1 << QList<qlonglong>{110, 200} << QList<int>{9, 10, 11, 99, 100, 101};
}

// Mark bars: pure red at x - 1, x, x + 1 from row 12 to the bottom, nothing above row 12.
void TimeRulerTest::markBars() {
  QFETCH(qlonglong, viewStart);
  QFETCH(int, zoom);
  QFETCH(QList<qlonglong>, marks);
  QFETCH(QList<int>, redColumns);
  QImage image4 = NewRuler();
  const std::vector<int64_t> markList(marks.begin(), marks.end());
  QVERIFY(DrawTimeRuler(image4, viewStart, zoom, 44100, QString::number(zoom), markList, LabelFont()).ok());
  QCOMPARE(ColumnsOf(image4, 12, kRed), redColumns);
  QCOMPARE(ColumnsOf(image4, kTickRow, kRed), redColumns);
  QCOMPARE(ColumnsOf(image4, 11, kRed), QList<int>{});
  for (int x : redColumns) QCOMPARE(test::CountInColumn(image4, x, kRed), 13);
}

void TimeRulerTest::markerAtColumn_data() {
  QTest::addColumn<int>("lineX");
  QTest::addColumn<bool>("onMarker");
  // The marker of mark 500001 at zoom 1000 covers columns 500..502.
  QTest::newRow("498") << 498 << false;
  QTest::newRow("499") << 499 << true;
  QTest::newRow("501") << 501 << true;
  QTest::newRow("503") << 503 << true;
  QTest::newRow("504") << 504 << false;
}

void TimeRulerTest::markerAtColumn() {
  QFETCH(int, lineX);
  QFETCH(bool, onMarker);
  QImage image4 = NewRuler();
  DrawMarkMarker(image4, 500001, 1, 1000);
  QCOMPARE(MarkerAtColumn(image4, lineX), onMarker);
}

void TimeRulerTest::zoomTextNotANumber_data() {
  QTest::addColumn<QString>("zoomText");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<bool>("fails");
  QTest::newRow("letters, ticks due") << QStringLiteral("abc") << 1000 << true;
  QTest::newRow("empty box, ticks due") << QString() << 1000 << true;
  QTest::newRow("letters, no tick in view") << QStringLiteral("abc") << 1 << false;
}

// A zoom text that is not a number fails at the first tick: white ruler, no mark bars. A view
// without ticks never reads the text and draws its bars.
void TimeRulerTest::zoomTextNotANumber() {
  QFETCH(QString, zoomText);
  QFETCH(int, zoom);
  QFETCH(bool, fails);
  QImage image4 = NewRuler();
  image4.fill(kBlue);
  const Status status = DrawTimeRuler(image4, 1, zoom, 44100, zoomText, {1}, LabelFont());
  QCOMPARE(status.failed(), fails);
  if (fails) {
    QCOMPARE(QString::fromStdString(status.message()), QStringLiteral("'%1' は整数ではありません").arg(zoomText));
    QCOMPARE(test::CountNot(image4, kWhite), 0);
  } else {
    QCOMPARE(ColumnsOf(image4, 20, kRed), (QList<int>{0, 1, 2}));
    QCOMPARE(test::CountNot(image4, kWhite), 3 * 13);
  }
}

void TimeRulerTest::rateZeroLeavesTheRuler() {
  QImage image4 = NewRuler();
  image4.fill(kBlue);
  const Status status = DrawTimeRuler(image4, 1, 1000, 0, QStringLiteral("1000"), {1}, LabelFont());
  QVERIFY(status.failed());
  QCOMPARE(QString::fromStdString(status.message()), QStringLiteral("ゼロによる除算"));
  QCOMPARE(test::CountNot(image4, kBlue), 0);
}

QTEST_MAIN(TimeRulerTest)
#include "TimeRulerTest.moc"
