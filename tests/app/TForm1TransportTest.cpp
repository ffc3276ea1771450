// The transport of the main window on the clock-only device with a hand-moved clock: the refresh
// tick (bar, cursor line, time display, status panel, closing the idle device), "最初", "停止",
// the position bar (its clicks and moves play, the tick's own moves do not), and the playback restarts.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include "AppTestSupport.h"
#include "OverlayInput.h"
#include "view/CursorOverlay.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

const QString kPlaying = QStringLiteral("再生中");
const QString kStopped = QStringLiteral("停止");
const QString kFinished = QStringLiteral("ファイル作成終了");
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

WavRecipe Mono8(int64_t frames, int32_t rate = 44100) {
  WavRecipe recipe;
  recipe.channels = 1;
  recipe.bits = 8;
  recipe.rate = rate;
  recipe.frames = frames;
  return recipe;
}

// A window whose refresh timer only runs when the test calls Timer1Timer.
struct TransportHarness : Harness {
  TransportHarness() { form->Controls().Timer1->stop(); }
  TForm1& f() { return *form; }
  QSlider& Bar() { return *form->Controls().TrackBar1; }
  QString Time() {
    const Form1Controls& c = form->Controls();
    return c.Label8->text() + "h" + c.Label3->text() + "分" + c.Label4->text() + "秒";
  }
  QString Panel() { return form->Controls().Panel1->text(); }
  QColor PanelColour() { return form->Controls().Panel1->palette().color(QPalette::WindowText); }
  // The program's own move of the bar, which runs no change handler.
  void SetBarQuietly(int ms) {
    const QSignalBlocker blocker(form->Controls().TrackBar1);
    form->Controls().TrackBar1->setValue(ms);
  }
  bool Playing() { return device.Mode() == PlaybackMode::kPlaying; }
};

}  // namespace

class TForm1TransportTest : public QObject {
  Q_OBJECT

 private slots:
  void timeDisplay_data();
  void timeDisplay();
  void timeDisplayShowsWhole_data();
  void timeDisplayShowsWhole();
  void tickWithoutDocumentDoesNothing();
  void barClickPlaysFromWhereItLands();
  void userMoveDuringPlaybackPlaysFromThere();
  void lineFollowsPlaybackAndStaysAtEnd();
  void lineLeavesView();
  void firstRestarts_data();
  void firstRestarts();
  void stopClosesDevice();
  void statusHeldKeepsFinishedText();
  void zoomDuringPlaybackRestartsAtLine();
  void openingFileStartsNoPlayback();
  void tickReadsNoFile();
};

// The bar position in ms as hours, two-digit minutes and two-digit seconds. The file runs at 100
// frames a second so that ten hours fit in 3.6 MB.
void TForm1TransportTest::timeDisplay_data() {
  QTest::addColumn<int>("ms");
  QTest::addColumn<QString>("shown");
  QTest::newRow("0") << 0 << "0h00分00秒";
  QTest::newRow("999") << 999 << "0h00分00秒";
  QTest::newRow("61 000") << 61000 << "0h01分01秒";
  QTest::newRow("65 000") << 65000 << "0h01分05秒";
  QTest::newRow("3 599 999") << 3599999 << "0h59分59秒";
  QTest::newRow("3 723 000") << 3723000 << "1h02分03秒";
  QTest::newRow("36 000 000") << 36000000 << "10h00分00秒";
}

void TForm1TransportTest::timeDisplay() {
  QFETCH(int, ms);
  QFETCH(QString, shown);
  TransportHarness h;
  h.Open(h.Wav("ten-hours.wav", Mono8(3600100, 100)));
  QCOMPARE(h.Bar().maximum(), 36001000);
  h.SetBarQuietly(ms);
  h.f().Timer1Timer();
  QCOMPARE(h.Time(), shown);
  QVERIFY(!h.Playing());
}

namespace {

// The pixels of after that differ from before: their bounding box (at offset) and their number.
std::pair<QRect, int> InkBetween(const QImage& before, const QImage& after, QPoint offset = {}) {
  std::pair<QRect, int> ink;
  for (int y = 0; y < after.height(); ++y)
    for (int x = 0; x < after.width(); ++x)
      if (after.pixel(x, y) != before.pixel(x, y)) {
        ink.first |= QRect(offset + QPoint(x, y), QSize(1, 1));
        ++ink.second;
      }
  return ink;
}

// The number of ink pixels of a label's text drawn whole, with nothing in its way.
int InkOfTextAlone(const QLabel& label, QRgb background) {
  QImage blank(200, 60, QImage::Format_RGB32);
  blank.fill(background);
  QImage drawn = blank;
  QPainter painter(&drawn);
  painter.setFont(label.font());
  painter.setPen(label.palette().color(QPalette::WindowText));
  painter.drawText(QPoint(20, 40), label.text());
  painter.end();
  return InkBetween(blank, drawn).second;
}

}  // namespace

void TForm1TransportTest::timeDisplayShowsWhole_data() {
  QTest::addColumn<int>("ms");
  QTest::newRow("0") << 0;
  QTest::newRow("36 000 000") << 36000000;
  QTest::newRow("longest play position, 596h31分23秒") << std::numeric_limits<int32_t>::max();
}

// On the rendered window, each label of the time display shown on its own: all of its text's ink
// shows, inside the frame, left of the next label's ink; no label's box reaches the next one.
void TForm1TransportTest::timeDisplayShowsWhole() {
  QFETCH(int, ms);
  TransportHarness h;
  h.Open(h.Wav("short.wav", Mono8(1000)));
  {
    const QSignalBlocker blocker(h.Bar());
    h.Bar().setMaximum(std::numeric_limits<int32_t>::max());
  }
  h.SetBarQuietly(ms);
  h.f().Timer1Timer();
  h.f().show();
  QVERIFY(QTest::qWaitForWindowExposed(&h.f()));
  const Form1Controls& c = h.f().Controls();
  const QList<QLabel*> labels = {c.Label8, c.Label11, c.Label3, c.Label10, c.Label4, c.Label9};
  const QRect area(520, 40, 272, 50);  // the frame with room on every side
  for (QLabel* label : labels) label->hide();
  const QImage empty = h.f().centralWidget()->grab(area).toImage();
  const QRect inside = c.Bevel1->geometry() - QMargins(1, 1, 1, 1) * c.Bevel1->frameWidth();
  QVERIFY(area.contains(c.Bevel1->geometry()));
  QRect previous(0, 0, 1, 1);
  for (QLabel* label : labels) {
    label->show();
    const auto [box, pixels] = InkBetween(empty, h.f().centralWidget()->grab(area).toImage(), area.topLeft());
    label->hide();
    QCOMPARE(pixels, InkOfTextAlone(*label, empty.pixel(inside.center() - area.topLeft())));
    QVERIFY2(inside.contains(box) && previous.right() < box.left(), qPrintable(label->objectName()));
    previous = box;
  }
  for (int i = 0; i + 1 < labels.size(); ++i) QVERIFY(labels[i]->geometry().right() < labels[i + 1]->geometry().left());
}

void TForm1TransportTest::tickWithoutDocumentDoesNothing() {
  TransportHarness h;
  h.f().Timer1Timer();
  QCOMPARE(h.f().Flags().TrackByTimer, false);
  QCOMPARE(h.Panel(), QStringLiteral("動作表示"));
  QCOMPARE(h.Time(), QStringLiteral("0h00分00秒"));
}

// A click in the bar's groove (pressed and released, no drag) plays from where the bar lands,
// also right after a tick with the device stopped; the tick's own move restarts nothing.
void TForm1TransportTest::barClickPlaysFromWhereItLands() {
  TransportHarness h;
  h.Open(h.Wav("a.wav", Mono8(441000)));  // 10 s
  h.f().show();
  QVERIFY(QTest::qWaitForWindowExposed(&h.f()));
  h.f().Timer1Timer();
  h.f().Flags().StatusHeld = 1;
  const QPoint rightPart(h.Bar().width() * 3 / 4, h.Bar().height() / 2);
  QTest::mouseClick(&h.Bar(), Qt::LeftButton, {}, rightPart);
  const int landed = h.Bar().value();
  QVERIFY(landed > 0);
  QVERIFY(h.Playing());
  QCOMPARE(h.device.Position(), landed);
  QCOMPARE(h.f().Flags().StatusHeld, false);

  h.device.now += 500;
  h.f().Timer1Timer();
  QCOMPARE(h.device.Position(), landed + 500);
  QTest::mouseClick(&h.Bar(), Qt::LeftButton, {}, rightPart);
  QVERIFY(h.Bar().value() > landed + 500);
  QCOMPARE(h.device.Position(), h.Bar().value());
}

// While playing, the tick's own move of the bar is ignored; the user's move then plays.
void TForm1TransportTest::userMoveDuringPlaybackPlaysFromThere() {
  TransportHarness h;
  h.Open(h.Wav("a.wav", Mono8(441000)));
  h.f().SpeedButton1Click();
  h.device.now += 1000;
  h.f().Timer1Timer();
  QCOMPARE(h.Bar().value(), 1000);
  QVERIFY(h.Playing());
  QCOMPARE(h.device.Position(), 1000);  // the tick's move did not restart playback
  h.Bar().setValue(6000);
  QVERIFY(h.Playing());
  QCOMPARE(h.device.Position(), 6000);
}

// 500 000 frames at 44.1 kHz play 11 337 ms; zoom 1000 shows the whole file in one view.
void TForm1TransportTest::lineFollowsPlaybackAndStaysAtEnd() {
  TransportHarness h;
  TForm1& f = h.f();
  h.Open(h.Wav("a.wav", Mono8(500000)));
  f.SpeedButton3Click();  // from the line at frame 1
  QVERIFY(h.Playing());

  h.device.now += 1000;
  f.Timer1Timer();
  QCOMPARE(f.Cursor().LinePos, qint64{44100});
  QCOMPARE(f.Cursor().LineX, 45);  // (44100 - 1) div 1000 + 1
  QCOMPARE(view::FindCursorColumn(Overlay(f)), 45);
  QCOMPARE(h.Bar().value(), 1000);
  QCOMPARE(h.Time(), QStringLiteral("0h00分01秒"));
  QCOMPARE(h.Panel(), kPlaying);
  QCOMPARE(h.PanelColour(), kRed);

  h.device.now += 10000;
  f.Timer1Timer();
  // 11000 x (44100 / 1000) with the division first: 44.1 is not exact, the product truncates.
  QCOMPARE(f.Cursor().LinePos, qint64{485099});
  QCOMPARE(view::FindCursorColumn(Overlay(f)), 486);
  QCOMPARE(h.Time(), QStringLiteral("0h00分11秒"));

  // The file ends between two ticks: the next one shows "停止" and closes the device; the line
  // stays where the last tick put it.
  h.device.now += 1000;
  f.Timer1Timer();
  QCOMPARE(h.Panel(), kStopped);
  QCOMPARE(h.PanelColour(), kBlue);
  QCOMPARE(h.device.Mode(), PlaybackMode::kNotReady);
  QCOMPARE(f.Cursor().LinePos, qint64{485099});
  QCOMPARE(f.Cursor().LineX, 486);
  QCOMPARE(view::FindCursorColumn(Overlay(f)), 486);
  QCOMPARE(h.Bar().value(), 11000);

  // "再生" now plays on from the line: frame 485099 is 10999.98 ms, truncated.
  f.SpeedButton3Click();
  QCOMPARE(h.device.Position(), 10999);
}

// The view does not scroll with playback: once the position is beyond the view no line shows.
void TForm1TransportTest::lineLeavesView() {
  TransportHarness h;
  TForm1& f = h.f();
  h.Open(h.Wav("a.wav", Mono8(2000000)));
  f.SpeedButton1Click();
  h.device.now += 20000;  // frame 882000, beyond the 760 000 frames of the view
  f.Timer1Timer();
  QCOMPARE(f.Cursor().LinePos, qint64{882000});
  QCOMPARE(f.Cursor().LineX, 882);
  QVERIFY(!view::CursorLineShowing(Overlay(f)));
  QCOMPARE(f.View().ViewStart, qint64{1});
}

void TForm1TransportTest::firstRestarts_data() {
  QTest::addColumn<bool>("playing");
  QTest::newRow("during playback") << true;
  QTest::newRow("stopped") << false;
}

// "最初" plays from the start, also in the middle of playback, and gives the panel back.
void TForm1TransportTest::firstRestarts() {
  QFETCH(bool, playing);
  TransportHarness h;
  TForm1& f = h.f();
  h.Open(h.Wav("a.wav", Mono8(441000)));
  if (playing) {
    f.Cursor().LinePos = 88201;  // 2000 ms
    f.SpeedButton3Click();
    h.device.now += 3000;
    QCOMPARE(h.device.Position(), 5000);
  }
  f.Flags().StatusHeld = 1;
  f.SpeedButton1Click();
  QVERIFY(h.Playing());
  QCOMPARE(h.device.Position(), 0);
  QCOMPARE(f.Flags().StatusHeld, false);
  h.device.now += 500;
  f.Timer1Timer();
  QCOMPARE(h.Bar().value(), 500);
  QCOMPARE(h.Panel(), kPlaying);
}

void TForm1TransportTest::stopClosesDevice() {
  TransportHarness h;
  TForm1& f = h.f();
  h.Open(h.Wav("a.wav", Mono8(441000)));
  f.SpeedButton1Click();
  h.device.now += 2000;
  f.Timer1Timer();
  f.SpeedButton2Click();
  QCOMPARE(h.device.Mode(), PlaybackMode::kNotReady);
  f.Timer1Timer();
  QCOMPARE(h.Panel(), kStopped);
  QCOMPARE(h.Bar().value(), 2000);  // the bar stays where playback stopped
  QCOMPARE(f.Cursor().LinePos, qint64{88200});
}

// After an output the panel keeps "ファイル作成終了" through a whole playback, whose device the
// tick leaves open; "最初" gives the panel back to the playback texts.
void TForm1TransportTest::statusHeldKeepsFinishedText() {
  TransportHarness h;
  TForm1& f = h.f();
  h.Open(h.Wav("a.wav", Mono8(88200)));  // 2 s
  QVERIFY(f.Marks().Add(10000).ok());
  QVERIFY(f.Marks().Add(20000).ok());
  h.prompts.saveAnswers.push_back(QString::fromStdString(h.dir.File("out.wav")));
  f.N3Click();
  QVERIFY(h.prompts.messages.isEmpty());
  QCOMPARE(h.Panel(), kFinished);
  QCOMPARE(f.Flags().StatusHeld, true);

  f.Timer1Timer();
  QCOMPARE(h.Panel(), kFinished);
  f.SpeedButton3Click();
  h.device.now += 1000;
  f.Timer1Timer();
  QCOMPARE(h.Panel(), kFinished);
  QCOMPARE(f.Cursor().LinePos, qint64{44100});  // the line follows all the same
  h.device.now += 5000;
  f.Timer1Timer();
  QCOMPARE(h.Panel(), kFinished);
  QCOMPARE(h.device.Mode(), PlaybackMode::kStopped);  // played out, left open

  f.SpeedButton1Click();
  QCOMPARE(f.Flags().StatusHeld, false);
  f.Timer1Timer();
  QCOMPARE(h.Panel(), kPlaying);
}

// The tick moved the line to 3000 ms; a new zoom redraws, which closes the device, and playback
// goes on from the line under the new zoom.
void TForm1TransportTest::zoomDuringPlaybackRestartsAtLine() {
  TransportHarness h;
  TForm1& f = h.f();
  h.Open(h.Wav("a.wav", Mono8(1000000)));
  f.SpeedButton1Click();
  h.device.now += 3000;
  f.Timer1Timer();
  QCOMPARE(f.Cursor().LinePos, qint64{132300});
  f.Flags().StatusHeld = 1;
  h.device.now += 250;  // played on past the line before the zoom changes
  f.Controls().ComboBox1->setCurrentText(QStringLiteral("500"));
  QVERIFY(h.Playing());
  QCOMPARE(h.device.Position(), 3000);
  QCOMPARE(f.Flags().StatusHeld, false);
  QCOMPARE(f.View().Zoom, 500);
  h.device.now += 400;
  f.Timer1Timer();
  QCOMPARE(f.Cursor().LinePos, qint64{149940});  // 3400 ms
  QCOMPARE(view::FindCursorColumn(Overlay(f)), static_cast<int>((149940 - f.View().ViewStart) / 500 + 1));
}

// Opening a second file puts the bar back to 0 without playing, even when no tick has armed the
// bar's ignore flag since the bar last moved.
void TForm1TransportTest::openingFileStartsNoPlayback() {
  TransportHarness h;
  TForm1& f = h.f();
  h.Open(h.Wav("long.wav", Mono8(441000)));
  h.Bar().setValue(8000);  // no tick yet: plays
  QVERIFY(h.Playing());
  QCOMPARE(f.Flags().TrackByTimer, false);
  h.Open(h.Wav("short.wav", Mono8(44100)));  // 1 s: the bar's range shrinks below its position
  QVERIFY(!h.Playing());
  QCOMPARE(h.Bar().maximum(), 1000);
  QCOMPARE(h.Bar().value(), 0);
  f.Timer1Timer();
  QCOMPARE(h.Time(), QStringLiteral("0h00分00秒"));
}

// The tick works from the device's counters alone: with the file gone it keeps following the
// playback and shows no message.
void TForm1TransportTest::tickReadsNoFile() {
  TransportHarness h;
  TForm1& f = h.f();
  const QString path = h.Wav("a.wav", Mono8(441000));
  h.Open(path);
  f.SpeedButton1Click();
  QVERIFY(QFile::rename(path, path + ".gone"));
  for (int i = 1; i <= 5; ++i) {
    h.device.now += 80;
    f.Timer1Timer();
  }
  QCOMPARE(h.Bar().value(), 400);
  QCOMPARE(f.Cursor().LinePos, qint64{17640});
  QVERIFY(h.prompts.messages.isEmpty());
}

QTEST_MAIN(TForm1TransportTest)
#include "TForm1TransportTest.moc"
