// The window's keys: M marks the frame heard during playback, Space plays and stops, Home, Delete,
// Ctrl+O and Ctrl+S run their menu commands, and the zoom box keeps the keys typed into it.
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "AppTestSupport.h"
#include "OverlayInput.h"
#include "view/ViewImages.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

// An active window on a 22 s 8-bit mono file at 44100 Hz, zoom 1000, the line at column 100.
struct KeyHarness : Harness {
  KeyHarness() {
    WavRecipe recipe;
    recipe.channels = 1;
    recipe.bits = 8;
    recipe.frames = 1000000;
    Open(Wav("a.wav", recipe));
    form->Controls().Timer1->stop();
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    PressOverlay(*form, Qt::LeftButton, 100);
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form.get(), key, mods);
  }
  bool Playing() { return device.Mode() == PlaybackMode::kPlaying; }
};

}  // namespace

class TForm1KeysTest : public QObject {
  Q_OBJECT

 private slots:
  void markAtHeardFrameWhilePlaying();
  void keysRunTheirCommands();
  void zoomBoxKeepsTypedKeys();
};

// M during playback marks the frame that the refresh tick puts the line on, playback going on;
// stopped, it is "ライン位置でマーク追加" (here refused: that frame is marked now).
void TForm1KeysTest::markAtHeardFrameWhilePlaying() {
  KeyHarness h;
  TForm1& f = *h.form;
  h.Key(Qt::Key_Space);
  QVERIFY(h.Playing());
  h.device.now += 1234;
  const int closes = h.device.closes;
  h.Key(Qt::Key_M);
  f.Timer1Timer();
  QCOMPARE(f.Marks().Sorted(), std::vector<int64_t>{f.Cursor().LinePos});
  QVERIFY(h.Playing());
  QCOMPARE(h.device.closes, closes);
  QVERIFY(view::IsPureRed(Ruler(f), f.Cursor().LineX, 15));
  QVERIFY(Strip(f) != view::NewStrip());
  h.Key(Qt::Key_Space);
  QVERIFY(!h.Playing());
  h.Key(Qt::Key_M);
  QCOMPARE(h.prompts.messages, QStringList{QStringLiteral("この位置ではマーク済みです。")});
}

void TForm1KeysTest::keysRunTheirCommands() {
  KeyHarness h;
  TForm1& f = *h.form;
  h.Key(Qt::Key_M);
  QCOMPARE(f.Marks().Count(), 1);
  h.Key(Qt::Key_Delete);
  QCOMPARE(f.Marks().Count(), 0);
  h.Key(Qt::Key_Home);
  QVERIFY(h.Playing());
  QCOMPARE(h.device.Position(), 0);
  h.Key(Qt::Key_O, Qt::ControlModifier);
  QCOMPARE(h.prompts.openDialogsShown, 2);
  f.Marks().Add(5000);
  h.Key(Qt::Key_S, Qt::ControlModifier);
  QVERIFY(h.prompts.dialogFolders.last().startsWith("SaveDialog1"));
}

// With the focus handed over by the pointer over the waveform, Space is the window's; after a
// click into the box's text, Home and a digit are text.
void TForm1KeysTest::zoomBoxKeepsTypedKeys() {
  KeyHarness h;
  TForm1& f = *h.form;
  QComboBox* box = f.Controls().ComboBox1;
  MoveOverOverlay(f, 200);
  QVERIFY(box->hasFocus());
  h.Key(Qt::Key_Space);
  QVERIFY(h.Playing());
  h.Key(Qt::Key_Space);
  QCOMPARE(box->currentText(), QStringLiteral("1000"));

  QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
  h.Key(Qt::Key_Home);
  QTest::keyClicks(box, "3");
  h.Key(Qt::Key_Return);
  QCOMPARE(box->currentText(), QStringLiteral("31000"));
  QCOMPARE(f.View().Zoom, 31000);
  QVERIFY(!h.Playing());
  QVERIFY(h.prompts.messages.isEmpty());
}

QTEST_MAIN(TForm1KeysTest)
#include "TForm1KeysTest.moc"
