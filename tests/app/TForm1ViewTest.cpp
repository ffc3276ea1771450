// Scrolling, zoom, the cursor line, the time ruler and the cut map strip through the window.
#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include "AppTestSupport.h"
#include "view/CursorOverlay.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

WavRecipe Mono8(int64_t frames, int32_t rate = 44100) {
  WavRecipe recipe;
  recipe.channels = 1;
  recipe.bits = 8;
  recipe.rate = rate;
  recipe.frames = frames;
  return recipe;
}

constexpr uint32_t kGreen = 0x00FF00u;
constexpr uint32_t kRed = 0xFF0000u;
constexpr uint32_t kBlue = 0x0000FFu;

// Columns of row y whose pixel has the colour.
QList<int> ColumnsOf(const QImage& image, int y, uint32_t rgb) {
  QList<int> xs;
  for (int x = 0; x < image.width(); ++x) {
    if (Rgb(image, x, y) == rgb) xs << x;
  }
  return xs;
}

}  // namespace

class TForm1ViewTest : public QObject {
  Q_OBJECT

 private slots:
  void scrollSnapsToZoomGrid();
  void scrollSteps_data();
  void scrollSteps();
  void cursorLineAfterScrollToStart_data();
  void cursorLineAfterScrollToStart();
  void zoomKeepsLineColumn();
  void zoomWithoutLineStaysOnGrid();
  void typedZoomTakenOnceWhenEditEnds_data();
  void typedZoomTakenOnceWhenEditEnds();
  void zoomDuringPlaybackRestartsAtLine();
  void noRedrawInsideRedraw();
  void redrawOfVanishedFile();
  void rulerTicks();
  void rulerThinnedAboveZoom1000();
  void rulerMarkBars();
  void cutMap_data();
  void cutMap();
};

void TForm1ViewTest::scrollSnapsToZoomGrid() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("long.wav", Mono8(1000000)));
  f.Controls().ScrollBar1->setValue(123456);
  QCOMPARE(f.View().ViewStart, qint64{123001});
  QCOMPARE(f.Controls().ScrollBar1->value(), 123001);
  QCOMPARE(f.View().ReadBase, qint64{44 + 123000});
  QCOMPARE(f.Controls().ScrollBar1->singleStep(), 100000);  // arrow step: 100 columns
  QVERIFY(h.prompts.messages.isEmpty());
}

void TForm1ViewTest::scrollSteps_data() {
  QTest::addColumn<QString>("zoomAfter");  // typed after opening at 1000 ("" for none)
  QTest::addColumn<int>("action");
  QTest::addColumn<int>("columns");
  QTest::newRow("first arrow click") << "" << int(QAbstractSlider::SliderSingleStepAdd) << 100;
  QTest::newRow("first trough click") << "" << int(QAbstractSlider::SliderPageStepAdd) << 760;
  QTest::newRow("trough after zoom 100") << "100" << int(QAbstractSlider::SliderPageStepAdd) << 760;
}

// Right after opening (or a zoom change) an arrow click moves the view by 100 columns and a
// trough click by one screen.
void TForm1ViewTest::scrollSteps() {
  QFETCH(QString, zoomAfter);
  QFETCH(int, action);
  QFETCH(int, columns);
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("long.wav", Mono8(2000000)));
  if (!zoomAfter.isEmpty()) f.Controls().ComboBox1->setCurrentText(zoomAfter);
  const qint64 before = f.View().ViewStart;
  f.Controls().ScrollBar1->triggerAction(static_cast<QAbstractSlider::SliderAction>(action));
  QCOMPARE(f.View().ViewStart, before + columns * f.View().Zoom);
  QCOMPARE(qint64{f.Controls().ScrollBar1->value()}, f.View().ViewStart);
}

void TForm1ViewTest::cursorLineAfterScrollToStart_data() {
  QTest::addColumn<QString>("zoomText");
  QTest::addColumn<int>("lineColumn");
  QTest::newRow("1000") << "1000" << 1;
  QTest::newRow("500") << "500" << -1;
}

void TForm1ViewTest::cursorLineAfterScrollToStart() {
  QFETCH(QString, zoomText);
  QFETCH(int, lineColumn);
  Harness h;
  TForm1& f = *h.form;
  f.Controls().ComboBox1->setCurrentText(zoomText);
  h.Open(h.Wav("long.wav", Mono8(1000000)));
  QCOMPARE(view::FindCursorColumn(Overlay(f)), -1);  // none after the open itself
  f.Controls().ScrollBar1->setValue(20001);
  f.Controls().ScrollBar1->setValue(1);
  QCOMPARE(view::FindCursorColumn(Overlay(f)), lineColumn);
}

// 1222101 frames: zoom 1000 -> 100 with the line at column 380 and LinePos 500001.
void TForm1ViewTest::zoomKeepsLineColumn() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("long.wav", Mono8(1222101)));
  QCOMPARE(f.Controls().ScrollBar1->maximum(), 462101);
  f.Cursor().LinePos = 500001;
  f.Controls().ScrollBar1->setValue(121001);  // the line lands at (500001 - 121001) div 1000 + 1
  QCOMPARE(view::FindCursorColumn(Overlay(f)), 380);

  f.Controls().ComboBox1->setCurrentText(QStringLiteral("100"));
  QVERIFY(h.prompts.messages.isEmpty());
  QCOMPARE(f.View().Zoom, 100);
  QCOMPARE(f.View().ViewStart, qint64{462101});
  QCOMPARE(f.Controls().ScrollBar1->value(), 462101);
  QCOMPARE(f.Controls().ScrollBar1->maximum(), 1222101 - 76000);
  QCOMPARE(view::FindCursorColumn(Overlay(f)), 380);
  QVERIFY(!h.device.nestedClose);
}

void TForm1ViewTest::zoomWithoutLineStaysOnGrid() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("long.wav", Mono8(3000000)));
  f.Cursor().LinePos = 1;
  f.Controls().ScrollBar1->setValue(1234567);  // view start 1234001; the line lies left of the view
  QCOMPARE(view::FindCursorColumn(Overlay(f)), -1);
  f.Controls().ComboBox1->setCurrentText(QStringLiteral("300"));
  QCOMPARE(f.View().ViewStart, qint64{1233901});  // 1234001 div 300 * 300 + 1
  QVERIFY(f.View().ViewStart <= 1234001);
  QCOMPARE((f.View().ViewStart - 1) % 300, qint64{0});
}

void TForm1ViewTest::typedZoomTakenOnceWhenEditEnds_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("end");  // Qt::Key_Return; 0: the focus leaves the box; 1: "5000" chosen from the list
  QTest::addColumn<QString>("message");  // "" for none
  QTest::addColumn<int>("zoom");
  const QString belowOne = QStringLiteral("拡大率は1以上の整数で指定して下さい。");
  const QString tooLarge = QStringLiteral("拡大率は1から2825636の整数で指定して下さい。");
  const int enter = Qt::Key_Return;
  QTest::newRow("empty") << "" << enter << "'' は整数ではありません" << 1000;
  QTest::newRow("letters, focus lost") << "abc" << 0 << "'abc' は整数ではありません" << 1000;
  QTest::newRow("fraction") << "1.5" << enter << "'1.5' は整数ではありません" << 1000;
  QTest::newRow("past 32 bits") << "3000000000" << enter << tooLarge << 1000;
  QTest::newRow("past 64 bits") << "99999999999999999999" << enter << tooLarge << 1000;
  QTest::newRow("one past the widest") << "2825637" << 0 << tooLarge << 1000;
  QTest::newRow("zero") << "0" << enter << belowOne << 1000;
  QTest::newRow("negative") << "-300" << enter << belowOne << 1000;
  QTest::newRow("1 is not completed to 100") << "1" << enter << "" << 1;
  QTest::newRow("the widest") << "2825636" << enter << "" << 2825636;
  QTest::newRow("by focus loss") << "300" << 0 << "" << 300;
  QTest::newRow("typed, then chosen from the list") << "12a" << 1 << "" << 5000;
}

// Typing changes nothing (no message, the ruler drawn by the text taken before); the edit's end
// takes the text once: a refused text gives one message and the box shows the zoom in force again.
void TForm1ViewTest::typedZoomTakenOnceWhenEditEnds() {
  QFETCH(QString, text);
  QFETCH(int, end);
  QFETCH(QString, message);
  QFETCH(int, zoom);
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("long.wav", Mono8(1000000)));
  f.show();
  f.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&f));
  f.Controls().ScrollBar1->setValue(3001);
  TypeIntoZoomBox(f, text);
  f.TimeLineDrow();
  QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join('|')));
  QCOMPARE(f.View().Zoom, 1000);

  QComboBox* box = f.Controls().ComboBox1;
  if (end == 1) {
    box->showPopup();
    QAbstractItemView* list = box->view();
    QTRY_VERIFY(list->isVisible());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(6, 0)).center());  // "5000", after "全体"
  } else if (end != 0) {
    QTest::keyClick(box, static_cast<Qt::Key>(end));
  }
  f.Controls().ScrollBar1->setFocus();  // the focus leaves: the end of the edit, or a second one
  box->setFocus();
  f.Controls().ScrollBar1->setFocus();
  QCOMPARE(h.prompts.messages, message.isEmpty() ? QStringList() : QStringList{message});
  QCOMPARE(f.View().Zoom, zoom);
  QCOMPARE(box->currentText(), message.isEmpty() ? QString::number(zoom) : QStringLiteral("1000"));
  if (!message.isEmpty()) QCOMPARE(f.View().ViewStart, qint64{3001});
}

void TForm1ViewTest::zoomDuringPlaybackRestartsAtLine() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("long.wav", Mono8(1000000)));
  f.Cursor().LinePos = 88201;  // 2000 ms at 44100 Hz
  QVERIFY(h.device.Open().ok());
  h.device.Play();
  h.device.now += 5000;
  f.Controls().ComboBox1->setCurrentText(QStringLiteral("500"));
  QCOMPARE(h.device.Mode(), PlaybackMode::kPlaying);
  QCOMPARE(h.device.Position(), 2000);
  QCOMPARE(f.Flags().StatusHeld, false);
}

// A program-side scroll change that arrives while a redraw runs is run after it, never inside.
void TForm1ViewTest::noRedrawInsideRedraw() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("long.wav", Mono8(1000000)));
  f.Controls().Timer1->stop();  // its ticks close the idle device too, which would count here
  int fired = 0;
  h.device.onClose = [&] {
    if (fired++ == 0) f.Controls().ScrollBar1->setValue(200500);
  };
  f.Controls().ScrollBar1->setValue(10001);
  QVERIFY(!h.device.nestedClose);
  QCOMPARE(fired, 1);  // one redraw so far; it read the position after the change
  QCOMPARE(f.View().ViewStart, qint64{200001});
  QCOMPARE(f.Controls().ScrollBar1->value(), 200001);
  QTRY_COMPARE(fired, 2);  // the change's own handling ran afterwards
  QCOMPARE(f.View().ViewStart, qint64{200001});
  QVERIFY(!h.device.nestedClose);
}

// The file went away: the open error, white lanes and overlay, no cursor line, ruler as it was.
void TForm1ViewTest::redrawOfVanishedFile() {
  Harness h;
  TForm1& f = *h.form;
  const QString path = h.Wav("gone.wav", Mono8(1000000));
  h.Open(path);
  const QImage ruler = Ruler(f).copy();
  f.Cursor().LinePos = 50001;
  QVERIFY(QFile::remove(path));
  f.Controls().ScrollBar1->setValue(30001);
  QCOMPARE(h.prompts.messages, QStringList{QStringLiteral("ファイル %1 は開けません").arg(path)});
  QVERIFY(AllWhite(Lane1(f)));
  QCOMPARE(view::FindCursorColumn(Overlay(f)), -1);
  QCOMPARE(Ruler(f), ruler);
}

void TForm1ViewTest::rulerTicks() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("long.wav", Mono8(1000000)));
  const QList<int> ticks = ColumnsOf(Ruler(f), 24, kGreen);
  QVERIFY(ticks.size() >= 2);
  QCOMPARE(ticks.at(0), 45);  // (1 + 45 * 1000) div 44100 = 1: 0m1s
  QCOMPARE(ticks.at(1), 89);
  // The label "0m1s" stands right of the tick, dark on white.
  bool label = false;
  for (int x = 46; x < 75 && !label; ++x) {
    for (int y = 0; y < 12 && !label; ++y) label = qGray(Ruler(f).pixel(x, y)) < 128;
  }
  QVERIFY(label);
}

void TForm1ViewTest::rulerThinnedAboveZoom1000() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("long.wav", Mono8(10000000)));
  f.Controls().ComboBox1->setCurrentText(QStringLiteral("10000"));
  // Seconds 10, 20, 30, ... only: s = 10 first at (1 + 10000 c) div 44100 = 10, c = 45.
  const QList<int> ticks = ColumnsOf(Ruler(f), 24, kGreen);
  QVERIFY(!ticks.isEmpty());
  QCOMPARE(ticks.at(0), 45);
  for (int i = 1; i < ticks.size(); ++i) QVERIFY(qAbs(ticks.at(i) - ticks.at(i - 1) - 44) <= 1);
}

void TForm1ViewTest::rulerMarkBars() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("long.wav", Mono8(1000000)));
  QVERIFY(f.Marks().Add(100001).ok());  // column 101
  QVERIFY(f.Marks().Add(900001).ok());  // outside the view
  f.TimeLineDrow();
  QCOMPARE(ColumnsOf(Ruler(f), 20, kRed), (QList<int>{100, 101, 102}));
  QCOMPARE(ColumnsOf(Ruler(f), 12, kRed), (QList<int>{100, 101, 102}));
  QVERIFY(ColumnsOf(Ruler(f), 11, kRed).isEmpty());
}

void TForm1ViewTest::cutMap_data() {
  QTest::addColumn<int>("marks");
  QTest::addColumn<bool>("keepHead");
  QTest::addColumn<QList<int>>("edges");  // x of each box's two sides in row 4
  // Marks at frames 100000, 200000, ... of 621000 frames: X = 100, 200, ...
  QTest::newRow("0 keep") << 0 << true << QList<int>{};
  QTest::newRow("0 drop") << 0 << false << QList<int>{};
  QTest::newRow("1 keep") << 1 << true << QList<int>{0, 99};
  QTest::newRow("1 drop") << 1 << false << QList<int>{100, 620};
  QTest::newRow("2 keep") << 2 << true << QList<int>{0, 99, 200, 620};
  QTest::newRow("2 drop") << 2 << false << QList<int>{100, 199};
  QTest::newRow("3 keep") << 3 << true << QList<int>{0, 99, 200, 299};
  QTest::newRow("3 drop") << 3 << false << QList<int>{100, 199, 300, 620};
  QTest::newRow("4 keep") << 4 << true << QList<int>{0, 99, 200, 299, 400, 620};
  QTest::newRow("4 drop") << 4 << false << QList<int>{100, 199, 300, 399};
}

void TForm1ViewTest::cutMap() {
  QFETCH(int, marks);
  QFETCH(bool, keepHead);
  QFETCH(QList<int>, edges);
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("map.wav", Mono8(621000)));
  for (int k = 1; k <= marks; ++k) QVERIFY(f.Marks().Add(int64_t{k} * 100000).ok());
  f.Marks().SetKeepHead(keepHead);
  f.PointImageDrow();
  QCOMPARE(ColumnsOf(Strip(f), 4, kBlue), edges);
  // Opening a file clears the strip again.
  h.Open(h.Wav("other.wav", Mono8(1000)));
  QVERIFY(AllWhite(Strip(f)));
}

QTEST_MAIN(TForm1ViewTest)
#include "TForm1ViewTest.moc"
