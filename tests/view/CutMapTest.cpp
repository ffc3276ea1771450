// Pixel tests of the cut map strip: mark positions and the kept-range boxes by keep head.
#include <QTest>

#include "view/CutMap.h"
#include "view/PixelProbe.h"
#include "view/ViewImages.h"

using namespace sonaveld;
using namespace sonaveld::view;

namespace {

// A 16-bit stereo file of 4000044 bytes, samples from byte 44: 1000000 frames. A trailing
// chunk after the samples must not stretch the map.
WaveHeader MillionFrames(int64_t trailingBytes) {
  WaveHeader h;
  h.Channels = 2;
  h.BitsPerSample = 16;
  h.SampleRate = 44100;
  h.Kind = FormatKind::kStereo16;
  h.DataOffset = 44;
  h.DataEnd = 4000044;
  h.FileSize = 4000044 + trailingBytes;
  return h;
}

// The strip as it must look: white, and a blue outline x = left .. right - 1, y = 0 .. 7 per box.
QImage ExpectedStrip(const QList<QPoint>& boxes) {
  QImage image = NewStrip();
  for (const QPoint& box : boxes) {
    for (int x = box.x(); x < box.y() && x < kStripWidth; ++x) {
      for (int y = 0; y < kStripHeight; ++y) {
        if (x == box.x() || x == box.y() - 1 || y == 0 || y == kStripHeight - 1) image.setPixel(x, y, kBlue);
      }
    }
  }
  return image;
}

// Marks 100000, 250000, 500000, 750000 sit at x 62, 155, 310, 465.
const std::vector<int64_t> kMarks = {100000, 250000, 500000, 750000};

}  // namespace

Q_DECLARE_METATYPE(std::vector<int64_t>)

class CutMapTest : public QObject {
  Q_OBJECT

 private slots:
  void markPosition_data();
  void markPosition();
  void fractionalFrameCount();
  void boxes_data();
  void boxes();
  void narrowBoxes();
  void keepHeadToggleWithTwoMarks();
};

void CutMapTest::markPosition_data() {
  QTest::addColumn<qlonglong>("mark");
  QTest::addColumn<qlonglong>("trailing");
  QTest::addColumn<int>("x");
  QTest::newRow("500000 -> 310") << 500000LL << 0LL << 310;
  QTest::newRow("trailing chunk ignored") << 500000LL << 100000LL << 310;
  QTest::newRow("100000 -> 62") << 100000LL << 0LL << 62;
  QTest::newRow("750000 -> 465") << 750000LL << 0LL << 465;
  QTest::newRow("first frame") << 1LL << 0LL << 0;
  QTest::newRow("last frame -> 621") << 1000000LL << 0LL << 621;
  QTest::newRow("beyond the end stays 621") << 3000000LL << 0LL << 621;
}

void CutMapTest::markPosition() {
  QFETCH(qlonglong, mark);
  QFETCH(qlonglong, trailing);
  QFETCH(int, x);
  QCOMPARE(CutMapX(mark, MillionFrames(trailing)), x);
}

// The frame count in the formula is a floating-point quotient: 1001 bytes of 8-bit stereo are
// 500.5 frames, so the mark at frame 500 lies just before the end of the strip.
void CutMapTest::fractionalFrameCount() {
  WaveHeader h;
  h.Kind = FormatKind::kStereo8;
  h.DataOffset = 44;
  h.DataEnd = 44 + 1001;
  h.FileSize = h.DataEnd;
  QCOMPARE(CutMapX(500, h), 620);
  QCOMPARE(CutMapX(250, h), 310);
  h.Kind = FormatKind::kNone;
  QCOMPARE(CutMapX(500, h), 0);
  h.Kind = FormatKind::kStereo8;
  h.DataEnd = h.DataOffset;  // no samples at all
  QCOMPARE(CutMapX(1, h), 621);
}

void CutMapTest::boxes_data() {
  QTest::addColumn<int>("n");
  QTest::addColumn<bool>("keepHead");
  QTest::addColumn<QList<QPoint>>("expected");  // (left, right) per box
  QTest::newRow("n 0, head kept") << 0 << true << QList<QPoint>{};
  QTest::newRow("n 0") << 0 << false << QList<QPoint>{};
  QTest::newRow("n 1, head kept") << 1 << true << QList<QPoint>{{0, 62}};
  QTest::newRow("n 1") << 1 << false << QList<QPoint>{{62, 621}};
  QTest::newRow("n 2, head kept") << 2 << true << QList<QPoint>{{0, 62}, {155, 621}};
  QTest::newRow("n 2") << 2 << false << QList<QPoint>{{62, 155}};
  QTest::newRow("n 3, head kept") << 3 << true << QList<QPoint>{{0, 62}, {155, 310}};
  QTest::newRow("n 3") << 3 << false << QList<QPoint>{{62, 155}, {310, 621}};
  QTest::newRow("n 4, head kept") << 4 << true << QList<QPoint>{{0, 62}, {155, 310}, {465, 621}};
  QTest::newRow("n 4") << 4 << false << QList<QPoint>{{62, 155}, {310, 465}};
}

void CutMapTest::boxes() {
  QFETCH(int, n);
  QFETCH(bool, keepHead);
  QFETCH(QList<QPoint>, expected);
  const std::vector<int64_t> marks(kMarks.begin(), kMarks.begin() + n);
  QImage image5 = NewStrip();
  image5.fill(kRed);  // whatever was there before goes
  DrawCutMap(image5, marks, keepHead, MillionFrames(0));
  QCOMPARE(image5, ExpectedStrip(expected));
}

// A box one pixel wide is a single blue column; a box of no width draws nothing; a range that
// starts at the last frame (621) shows nothing.
void CutMapTest::narrowBoxes() {
  const WaveHeader h = MillionFrames(0);
  QImage image5 = NewStrip();
  // 500000 and 500500 -> 310 and 310 (no width); 900000 and 901000 -> 558 and 559 (one pixel).
  DrawCutMap(image5, {500000, 500500, 900000, 901000}, false, h);
  QCOMPARE(image5, ExpectedStrip({{558, 559}}));
  QCOMPARE(test::CountInColumn(image5, 558, kBlue), 8);
  DrawCutMap(image5, {1000000}, false, h);
  QCOMPARE(test::CountNot(image5, kWhite), 0);
  DrawCutMap(image5, {1000000}, true, h);
  QCOMPARE(image5, ExpectedStrip({{0, 621}}));
  QCOMPARE(test::CountInColumn(image5, 620, kBlue), 8);
}

void CutMapTest::keepHeadToggleWithTwoMarks() {
  const WaveHeader h = MillionFrames(0);
  QImage image5 = NewStrip();
  DrawCutMap(image5, {250000, 500000}, false, h);
  QCOMPARE(image5, ExpectedStrip({{155, 310}}));
  DrawCutMap(image5, {250000, 500000}, true, h);
  QCOMPARE(image5, ExpectedStrip({{0, 155}, {310, 621}}));
}

QTEST_GUILESS_MAIN(CutMapTest)
#include "CutMapTest.moc"
