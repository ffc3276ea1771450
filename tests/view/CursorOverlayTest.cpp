// The cursor overlay and the position arithmetic of scrolling and zooming.
#include <QTest>

#include "view/CursorOverlay.h"
#include "view/PixelProbe.h"
#include "view/ViewImages.h"
#include "view/ViewMath.h"

using namespace sonaveld;
using namespace sonaveld::view;

class CursorOverlayTest : public QObject {
  Q_OBJECT

 private slots:
  void newOverlayIsTransparent();
  void findCursorColumn_data();
  void findCursorColumn();
  void onlyPureOpaqueRedCounts();
  void cursorLineCoversTheWholeHeight();
  void snapToZoomGrid_data();
  void snapToZoomGrid();
  void zoomChangeKeepsTheLineInItsColumn_data();
  void zoomChangeKeepsTheLineInItsColumn();
  void parseWholeNumber_data();
  void parseWholeNumber();
};

void CursorOverlayTest::newOverlayIsTransparent() {
  QImage image3 = NewOverlay();
  QCOMPARE(image3.size(), QSize(760, 324));
  QCOMPARE(image3.format(), QImage::Format_ARGB32);
  QCOMPARE(test::CountNot(image3, kClearOverlay), 0);
  QCOMPARE(qAlpha(image3.pixel(5, 5)), 0);
  DrawCursorLine(image3, 100);
  ClearOverlay(image3);
  QCOMPARE(test::CountNot(image3, kClearOverlay), 0);
  QVERIFY(!CursorLineShowing(image3));
}

void CursorOverlayTest::findCursorColumn_data() {
  QTest::addColumn<QList<int>>("lines");
  QTest::addColumn<int>("found");
  QTest::newRow("none") << QList<int>{} << -1;
  QTest::newRow("column 0") << QList<int>{0} << 0;
  QTest::newRow("column 380") << QList<int>{380} << 380;
  QTest::newRow("column 759") << QList<int>{759} << 759;
  QTest::newRow("760 is outside") << QList<int>{760} << -1;
  QTest::newRow("761 is outside") << QList<int>{761} << -1;
  QTest::newRow("negative is outside") << QList<int>{-1} << -1;
  QTest::newRow("the last of two") << QList<int>{600, 20} << 600;
}

void CursorOverlayTest::findCursorColumn() {
  QFETCH(QList<int>, lines);
  QFETCH(int, found);
  QImage image3 = NewOverlay();
  for (int x : lines) DrawCursorLine(image3, x);
  QCOMPARE(FindCursorColumn(image3), found);
  QCOMPARE(CursorLineShowing(image3), found >= 0);
}

void CursorOverlayTest::onlyPureOpaqueRedCounts() {
  QImage image3 = NewOverlay();
  image3.setPixel(10, 10, qRgb(254, 0, 0));
  image3.setPixel(11, 10, qRgb(255, 1, 0));
  image3.setPixel(12, 10, qRgba(255, 0, 0, 0));
  image3.setPixel(13, 11, qRgb(255, 0, 0));  // red, but not in row 10
  QCOMPARE(FindCursorColumn(image3), -1);
}

void CursorOverlayTest::cursorLineCoversTheWholeHeight() {
  QImage image3 = NewOverlay();
  DrawCursorLine(image3, 42);
  QCOMPARE(test::CountInColumn(image3, 42, kRed), 324);
  QCOMPARE(test::CountNot(image3, kClearOverlay), 324);
}

void CursorOverlayTest::snapToZoomGrid_data() {
  QTest::addColumn<qlonglong>("position");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<qlonglong>("viewStart");
  QTest::newRow("thumb at 123456") << 123456LL << 1000 << 123001LL;
  QTest::newRow("1234") << 1234LL << 1000 << 1001LL;
  QTest::newRow("on the grid") << 462101LL << 100 << 462101LL;
  QTest::newRow("position 1") << 1LL << 1000 << 1LL;
  QTest::newRow("zoom 1") << 77LL << 1 << 78LL;
  QTest::newRow("zoom 0 counts as 1") << 77LL << 0 << 78LL;
  QTest::newRow("beyond 32 bits") << 5000000000LL << 1000 << 5000000001LL;
}

void CursorOverlayTest::snapToZoomGrid() {
  QFETCH(qlonglong, position);
  QFETCH(int, zoom);
  QFETCH(qlonglong, viewStart);
  QCOMPARE(static_cast<qlonglong>(SnapToZoomGrid(position, zoom)), viewStart);
}

void CursorOverlayTest::zoomChangeKeepsTheLineInItsColumn_data() {
  QTest::addColumn<int>("lineColumn");
  QTest::addColumn<qlonglong>("linePos");
  QTest::addColumn<qlonglong>("scrollPosition");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<qlonglong>("frames");
  QTest::addColumn<qlonglong>("proposed");
  QTest::newRow("1222101 frames, 1000 -> 100") << 380 << 500001LL << 121001LL << 100 << 1222101LL << 462101LL;
  QTest::newRow("no line: old position on the new grid") << -1 << 1LL << 123456LL << 300 << 1222101LL << 123301LL;
  QTest::newRow("below 0 becomes 0") << 700 << 1001LL << 1LL << 100 << 1222101LL << 0LL;
  QTest::newRow("limited by the end") << 10 << 1200000LL << 1LL << 1000 << 1222101LL << 462101LL;
}

void CursorOverlayTest::zoomChangeKeepsTheLineInItsColumn() {
  QFETCH(int, lineColumn);
  QFETCH(qlonglong, linePos);
  QFETCH(qlonglong, scrollPosition);
  QFETCH(int, zoom);
  QFETCH(qlonglong, frames);
  QFETCH(qlonglong, proposed);
  WaveHeader h;
  h.Kind = FormatKind::kStereo16;
  h.DataOffset = 44;
  h.DataEnd = 44 + frames * 4;
  h.FileSize = h.DataEnd + 100;  // a trailing chunk: not frames
  const int64_t got = ZoomChangeScrollPosition(lineColumn, linePos, scrollPosition, zoom, h);
  QCOMPARE(static_cast<qlonglong>(got), proposed);
  if (lineColumn >= 0 && got > 0) {
    // After the redraw snaps to the grid, the line's frame shows in the same column.
    const int64_t viewStart = SnapToZoomGrid(got, zoom);
    if (got == linePos - (lineColumn - 1) * int64_t{zoom})
      QCOMPARE(static_cast<qlonglong>(ColumnOfFrame(linePos, viewStart, zoom)), static_cast<qlonglong>(lineColumn));
  }
}

void CursorOverlayTest::parseWholeNumber_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<qlonglong>("value");  // -999: not a number
  QTest::newRow("1000") << QStringLiteral("1000") << 1000LL;
  QTest::newRow("blanks") << QStringLiteral(" 300 ") << 300LL;
  QTest::newRow("negative") << QStringLiteral("-5") << -5LL;
  QTest::newRow("empty") << QString() << -999LL;
  QTest::newRow("letters") << QStringLiteral("10a") << -999LL;
  QTest::newRow("decimal point") << QStringLiteral("1.5") << -999LL;
  QTest::newRow("too large") << QStringLiteral("99999999999999999999") << -999LL;
}

void CursorOverlayTest::parseWholeNumber() {
  QFETCH(QString, text);
  QFETCH(qlonglong, value);
  QCOMPARE(static_cast<qlonglong>(ParseWholeNumber(text).value_or(-999)), value);
}

QTEST_GUILESS_MAIN(CursorOverlayTest)
#include "CursorOverlayTest.moc"
