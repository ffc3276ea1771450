// The cursor line and the pointer input on the waveform: placing the line, playing from it, the
// pop-up menu, the jump to the position bar and the zoom box's focus.
#include <QComboBox>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>

#include "AppTestSupport.h"
#include "OverlayInput.h"
#include "view/CursorOverlay.h"
#include "view/ViewImages.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

const QString kBusy = QStringLiteral("ファイル作成中です");

WavRecipe Mono8(int64_t frames) {
  WavRecipe recipe;
  recipe.channels = 1;
  recipe.bits = 8;
  recipe.frames = frames;
  return recipe;
}

int RedPixelsInRow10(const QImage& overlay) {
  int n = 0;
  for (int x = 0; x < overlay.width(); ++x) n += view::IsPureRed(overlay, x, 10) ? 1 : 0;
  return n;
}

void SetTrackBar(TForm1& f, int ms) {
  const QSignalBlocker blocker(f.Controls().TrackBar1);
  f.Controls().TrackBar1->setValue(ms);
}

}  // namespace

class TForm1CursorTest : public QObject {
  Q_OBJECT

 private slots:
  void leftClickPlacesLine_data();
  void leftClickPlacesLine();
  void oneLineAtATime();
  void leftClickDuringPlaybackMovesPlayback();
  void ctrlLeftPlaysFromLine();
  void ctrlClicksRefusedWhileBusy_data();
  void ctrlClicksRefusedWhileBusy();
  void rightClickStopsPlaybackAndPopsUpMenu();
  void middleClickAndNoDocumentDoNothing();
  void ctrlRightJumpsToPositionBar_data();
  void ctrlRightJumpsToPositionBar();
  void pointerMoveFocusesZoomBox();
  void popupPlayIsThePlayButton();
  void wheelOverWaveformZooms();
};

// Column x gives LinePos = (x - 1) * Zoom + ViewStart, never below the first frame.
void TForm1CursorTest::leftClickPlacesLine_data() {
  QTest::addColumn<QString>("zoom");
  QTest::addColumn<int>("scroll");
  QTest::addColumn<int>("x");
  QTest::addColumn<qint64>("linePos");
  QTest::newRow("col 1 at start") << "1000" << 1 << 1 << qint64{1};
  QTest::newRow("col 0 at start, zoom 1000") << "1000" << 1 << 0 << qint64{1};
  QTest::newRow("col 0 at start, zoom 100") << "100" << 1 << 0 << qint64{1};
  QTest::newRow("col 2 at start, zoom 100") << "100" << 1 << 2 << qint64{101};
  QTest::newRow("col 380") << "1000" << 1 << 380 << qint64{379001};
  QTest::newRow("col 1 scrolled") << "100" << 50050 << 1 << qint64{50001};
  QTest::newRow("col 0 scrolled") << "100" << 50050 << 0 << qint64{49901};
  QTest::newRow("col 759 scrolled") << "100" << 50050 << 759 << qint64{50001 + 758 * 100};
}

void TForm1CursorTest::leftClickPlacesLine() {
  QFETCH(QString, zoom);
  QFETCH(int, scroll);
  QFETCH(int, x);
  QFETCH(qint64, linePos);
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Mono8(1000000)));
  f.Controls().ComboBox1->setCurrentText(zoom);
  f.Controls().ScrollBar1->setValue(scroll);
  PressOverlay(f, Qt::LeftButton, x);
  QCOMPARE(f.Cursor().LinePos, linePos);
  QCOMPARE(f.Cursor().LineX, x);
  QCOMPARE(view::FindCursorColumn(Overlay(f)), x);
  QVERIFY(h.prompts.messages.isEmpty());
}

void TForm1CursorTest::oneLineAtATime() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Mono8(1000000)));
  PressOverlay(f, Qt::LeftButton, 100);
  PressOverlay(f, Qt::LeftButton, 200);
  QCOMPARE(RedPixelsInRow10(Overlay(f)), 1);
  QCOMPARE(view::FindCursorColumn(Overlay(f)), 200);
  QVERIFY(view::IsPureRed(Overlay(f), 200, 0));
  QVERIFY(view::IsPureRed(Overlay(f), 200, 323));
}

// 44100 Hz, zoom 1000: column 441 is frame 440001, 9977 ms.
void TForm1CursorTest::leftClickDuringPlaybackMovesPlayback() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Mono8(1000000)));
  QVERIFY(h.device.Open().ok());
  h.device.Play();
  h.device.now += 500;
  PressOverlay(f, Qt::LeftButton, 441);
  QCOMPARE(f.Cursor().LinePos, qint64{440001});
  QCOMPARE(h.device.Mode(), PlaybackMode::kPlaying);
  QCOMPARE(h.device.Position(), 9977);
}

void TForm1CursorTest::ctrlLeftPlaysFromLine() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Mono8(1000000)));
  PressOverlay(f, Qt::LeftButton, 441);
  PressOverlay(f, Qt::LeftButton, 0, Qt::ControlModifier);  // X plays no part
  QCOMPARE(h.device.Mode(), PlaybackMode::kPlaying);
  QCOMPARE(h.device.Position(), 9977);
  QCOMPARE(f.Cursor().LinePos, qint64{440001});
  QCOMPARE(view::FindCursorColumn(Overlay(f)), 441);  // overlay left alone

  // While playing, a further Ctrl+left click does nothing.
  h.device.now += 1000;
  const int closes = h.device.closes;
  PressOverlay(f, Qt::LeftButton, 10, Qt::ControlModifier);
  QCOMPARE(h.device.Position(), 10977);
  QCOMPARE(h.device.closes, closes);
}

void TForm1CursorTest::ctrlClicksRefusedWhileBusy_data() {
  QTest::addColumn<int>("button");
  QTest::newRow("ctrl+left") << int{Qt::LeftButton};
  QTest::newRow("ctrl+right") << int{Qt::RightButton};
}

void TForm1CursorTest::ctrlClicksRefusedWhileBusy() {
  QFETCH(int, button);
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Mono8(1000000)));
  PressOverlay(f, Qt::LeftButton, 441);
  f.Flags().Busy = 1;
  PressOverlay(f, static_cast<Qt::MouseButton>(button), 441, Qt::ControlModifier);
  QCOMPARE(h.prompts.messages, QStringList{kBusy});
  QCOMPARE(h.device.Mode(), PlaybackMode::kNotReady);
  QCOMPARE(view::FindCursorColumn(Overlay(f)), 441);

  // The plain left click is not refused.
  PressOverlay(f, Qt::LeftButton, 100);
  QCOMPARE(h.prompts.messages.size(), 1);
  QCOMPARE(f.Cursor().LinePos, qint64{99001});
  f.Flags().Busy = 0;
}

void TForm1CursorTest::rightClickStopsPlaybackAndPopsUpMenu() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Mono8(1000000)));
  QVERIFY(h.device.Open().ok());
  h.device.Play();
  PressOverlay(f, Qt::RightButton, 100);
  QVERIFY(h.device.Mode() != PlaybackMode::kPlaying);
  QMenu* popup = f.Menus().PopupMenu1;
  QVERIFY(popup->isVisible());
  QCOMPARE(popup->actions().mid(0, 3), (QList<QAction*>{f.Menus().N1, f.Menus().N6, f.Menus().N14}));
  popup->hide();
  QCOMPARE(f.Cursor().LinePos, qint64{1});  // the line is not moved
}

void TForm1CursorTest::middleClickAndNoDocumentDoNothing() {
  Harness h;
  TForm1& f = *h.form;
  PressOverlay(f, Qt::RightButton, 100);  // no document: not even the menu
  QVERIFY(!f.Menus().PopupMenu1->isVisible());
  PressOverlay(f, Qt::LeftButton, 100);
  QVERIFY(view::FindCursorColumn(Overlay(f)) < 0);
  QCOMPARE(f.Cursor().LinePos, qint64{0});

  h.Open(h.Wav("a.wav", Mono8(1000000)));
  PressOverlay(f, Qt::LeftButton, 100);
  for (Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
    PressOverlay(f, Qt::MiddleButton, 300, mods);
    QCOMPARE(f.Cursor().LinePos, qint64{99001});
    QCOMPARE(view::FindCursorColumn(Overlay(f)), 100);
    QCOMPARE(h.device.Mode(), PlaybackMode::kNotReady);
    QVERIFY(!f.Menus().PopupMenu1->isVisible());
  }
  QVERIFY(h.prompts.messages.isEmpty());
}

// Bar at 5000 ms of a 44100 Hz file: LinePos 220500; the view scrolls to 220001 and shows no line.
void TForm1CursorTest::ctrlRightJumpsToPositionBar_data() {
  QTest::addColumn<bool>("playing");
  QTest::newRow("stopped") << false;
  QTest::newRow("playing") << true;
}

void TForm1CursorTest::ctrlRightJumpsToPositionBar() {
  QFETCH(bool, playing);
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Mono8(1000000)));
  PressOverlay(f, Qt::LeftButton, 100);
  f.Flags().StatusHeld = 1;
  if (playing) {
    QVERIFY(h.device.Open().ok());
    h.device.Play();
  }
  SetTrackBar(f, 5000);
  PressOverlay(f, Qt::RightButton, 0, Qt::ControlModifier);
  QCOMPARE(f.Cursor().LinePos, qint64{220500});
  QCOMPARE(f.View().ViewStart, qint64{220001});
  QCOMPARE(f.Controls().ScrollBar1->value(), 220001);
  QVERIFY(!view::CursorLineShowing(Overlay(f)));
  QCOMPARE(f.Cursor().LineX, 100);  // kept
  QCOMPARE(f.Flags().StatusHeld, false);
  QCOMPARE(h.device.Position(), 5000);
  QCOMPARE(h.device.Mode() == PlaybackMode::kPlaying, playing);

  // With no line showing, adding a mark reports that no line is set.
  if (!playing) {
    f.N1Click();
    QCOMPARE(h.prompts.messages.size(), 1);
    QCOMPARE(f.Marks().Count(), 0);
  }
}

void TForm1CursorTest::pointerMoveFocusesZoomBox() {
  Harness h;
  TForm1& f = *h.form;
  QComboBox* zoom = f.Controls().ComboBox1;
  MoveOverOverlay(f, 10);  // no document
  QVERIFY(f.focusWidget() != zoom);

  h.Open(h.Wav("a.wav", Mono8(100000)));
  h.form2->show();  // the normalizer window showing: no focus change
  MoveOverOverlay(f, 10);
  QVERIFY(f.focusWidget() != zoom);

  h.form2->hide();
  MoveOverOverlay(f, 10);
  QCOMPARE(f.focusWidget(), zoom);

  f.Controls().ScrollBar1->setFocus();
  f.SetForm2(nullptr);  // no normalizer window: nothing
  MoveOverOverlay(f, 10);
  QCOMPARE(f.focusWidget(), f.Controls().ScrollBar1);
}

void TForm1CursorTest::popupPlayIsThePlayButton() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Mono8(1000000)));
  PressOverlay(f, Qt::LeftButton, 441);
  f.Menus().N14->trigger();
  QCOMPARE(h.device.Mode(), PlaybackMode::kPlaying);
  QCOMPARE(h.device.Position(), 9977);
  h.device.Close();
  f.Controls().SpeedButton3->click();
  QCOMPARE(h.device.Mode(), PlaybackMode::kPlaying);
  QCOMPARE(h.device.Position(), 9977);
}

// The pointer over the waveform gives the zoom box the focus; the wheel there then steps the zoom.
void TForm1CursorTest::wheelOverWaveformZooms() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Mono8(1000000)));
  f.show();
  f.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&f));
  QWidget* overlay = f.Controls().Image3;
  auto wheel = [&](int delta) {
    const QPointF at(100, 10);
    QWheelEvent event(at, overlay->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(overlay, &event);
  };
  wheel(-120);  // the zoom box does not have the focus yet
  QCOMPARE(f.View().Zoom, 1000);
  MoveOverOverlay(f, 100);
  QVERIFY(f.Controls().ComboBox1->hasFocus());
  wheel(-120);
  QCOMPARE(f.Controls().ComboBox1->currentText(), QStringLiteral("3000"));
  QCOMPARE(f.View().Zoom, 3000);
}

QTEST_MAIN(TForm1CursorTest)
#include "TForm1CursorTest.moc"
