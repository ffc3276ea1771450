// "無音部分にマーク…" (the dialog's values, the refusals, the marks found merged, at most 255, the
// scan run like an output and stopped on the status panel) and the keys (M at the heard frame,
// Space, Home, Delete, Ctrl+O, Ctrl+S, the zoom box keeping the keys typed into it).
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include "AppTestSupport.h"
#include "OverlayInput.h"
#include "app/PauseSettingsDialog.h"
#include "app/ProgressArrow.h"
#include "view/ViewImages.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

// 16-bit mono at 8000 Hz, loud but for frames 16001..32000 and 48001..64000 (marks 24001, 56001),
// in an active window at zoom 1000 with the line at column 100, refreshed by hand.
struct MarkingHarness : Harness {
  explicit MarkingHarness(int64_t frames = 80000) {
    WavRecipe r;
    r.channels = 1;
    r.rate = 8000;
    r.frames = frames;
    r.sample = [](int64_t f, int) { return (f >= 16000 && f < 32000) || (f >= 48000 && f < 64000) ? 0 : 9000 - f % 2 * 18000; };
    Open(Wav("talk.wav", r));
    form->Controls().Timer1->stop();
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    PressOverlay(*form, Qt::LeftButton, 100);
  }
  void Scan() {
    prompts.pauseAnswers.push_back(PauseSettings{});
    form->PauseMarks1Click();
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(QApplication::focusWidget(), key, mods); }
  bool Playing() { return device.Mode() == PlaybackMode::kPlaying; }
  QString Notice() { return form->Controls().StatusBar1->currentMessage(); }
};

}  // namespace

class TForm1MarkingTest : public QObject {
  Q_OBJECT

 private slots:
  void dialogKeepsTheLastValues();
  void scanRefusals();
  void foundMarksMerged_data();
  void foundMarksMerged();
  void scanStopsOnDoubleClick();
  void markAtHeardFrameWhilePlaying();
  void keysRunTheirCommands();
  void zoomBoxKeepsTypedKeys();
};

void TForm1MarkingTest::dialogKeepsTheLastValues() {
  PauseSettingsDialog dialog(PauseSettings{});
  dialog.ShortestBox()->setValue(5);
  QCOMPARE(dialog.Settings().belowDb, -50.0);
  QCOMPARE(dialog.Settings().minMs, 10);
  MarkingHarness h;
  h.prompts.pauseAnswers = {PauseSettings{-42.5, 250}, std::nullopt};
  for (int i = 0; i < 3; ++i) h.form->PauseMarks1Click();  // OK, cancel, and once more
  QCOMPARE(h.prompts.pauseInitials[0].minMs, 1000);
  QCOMPARE(h.prompts.pauseInitials[2].belowDb, -42.5);
}

// Busy and playback refuse as "ライン位置でマーク追加" does, no document silently; no dialog shows.
void TForm1MarkingTest::scanRefusals() {
  MarkingHarness h;
  h.form->Flags().Busy = 1;
  h.Scan();
  h.form->Flags().Busy = 0;
  h.Key(Qt::Key_Space);
  h.Scan();
  Harness empty;
  empty.form->PauseMarks1Click();
  QCOMPARE(h.prompts.messages, (QStringList{"ファイル作成中です", "再生中はマークできません。停止してから指定してください。"}));
  QVERIFY(h.prompts.pauseInitials.empty() && empty.prompts.pauseInitials.empty());
}

// `others` marks away from the pauses, plus 24001 when `duplicate`; only new marks count to 255.
void TForm1MarkingTest::foundMarksMerged_data() {
  QTest::addColumn<int>("others");
  QTest::addColumn<bool>("duplicate");
  QTest::addColumn<int>("added");  // -1: refused
  QTest::newRow("one kept, one new") << 1 << true << 1;
  QTest::newRow("both new up to 255") << 253 << false << 2;
  QTest::newRow("the duplicate lets it fit") << 253 << true << 1;
  QTest::newRow("256 refused") << 254 << false << -1;
}

void TForm1MarkingTest::foundMarksMerged() {
  QFETCH(int, others);
  QFETCH(bool, duplicate);
  QFETCH(int, added);
  MarkingHarness h;
  TForm1& f = *h.form;
  for (int i = 0; i < others; ++i) f.Marks().Add(100 + i);
  if (duplicate) f.Marks().Add(24001);
  const int before = f.Marks().Count();
  const QImage strip = Strip(f);
  h.Scan();
  QCOMPARE(f.Marks().Count(), before + std::max(added, 0));
  if (added < 0) {
    QCOMPARE(h.prompts.messages, QStringList{"無音部分が2個見つかりました。マークは255個までです。"
                                             "最短の無音を長くするか、しきい値を下げてください。"});
    return;
  }
  QVERIFY(f.Controls().Memo1->toPlainText().endsWith("\n24001\n56001") && Strip(f) != strip);
  QCOMPARE(h.Notice(), QStringLiteral("無音部分に%1個のマークを追加しました。").arg(added));
}

// While the scan runs Busy refuses, the panel tells it and the arrow moves; a double-click on the
// panel stops it with nothing added, and the panel returns to the playback texts.
void TForm1MarkingTest::scanStopsOnDoubleClick() {
  MarkingHarness h(600000);  // 1.2 MB: two blocks, the stop lands between them
  TForm1& f = *h.form;
  OutputOptions options;
  options.idleInterval = std::chrono::milliseconds(0);
  f.SetOutputOptions(options);
  QTimer::singleShot(0, &f, [&] {
    QCOMPARE(f.Controls().Panel1->text(), QStringLiteral("無音検出中"));
    f.N1Click();
    f.Timer2Timer();
    const int x = ProgressArrowX(f.Flags().CopyPos, f.File().Header.FileSize);
    QVERIFY(x > 18 && view::IsPureRed(f.ProgressBand().Image(), x - kProgressBandLeft, 0));
    QTest::mouseDClick(f.Controls().Panel1, Qt::LeftButton);
  });
  h.Scan();
  QCOMPARE(h.prompts.messages, QStringList{"ファイル作成中です"});
  QCOMPARE(f.Marks().Count(), 0);
  QCOMPARE(h.Notice(), QStringLiteral("無音部分の検出を中止しました。"));
  f.Timer1Timer();
  QCOMPARE(f.Controls().Panel1->text(), QStringLiteral("停止"));
}

// The mark lands where the refresh tick puts the line, playback going on untouched; stopped, M is
// "ライン位置でマーク追加" (refused here: that frame is marked now).
void TForm1MarkingTest::markAtHeardFrameWhilePlaying() {
  MarkingHarness h;
  TForm1& f = *h.form;
  h.Key(Qt::Key_Space);
  h.device.now += 1234;
  const int closes = h.device.closes;
  h.Key(Qt::Key_M);
  f.Timer1Timer();
  QCOMPARE(f.Marks().Sorted(), std::vector<int64_t>{f.Cursor().LinePos});
  QVERIFY(h.Playing() && h.device.closes == closes);
  QVERIFY(view::IsPureRed(Ruler(f), f.Cursor().LineX, 15) && Strip(f) != view::NewStrip());
  h.Key(Qt::Key_Space);
  h.Key(Qt::Key_M);
  QCOMPARE(h.prompts.messages, QStringList{"この位置ではマーク済みです。"});
}

void TForm1MarkingTest::keysRunTheirCommands() {
  MarkingHarness h;
  h.Key(Qt::Key_M);
  h.Key(Qt::Key_Delete);
  QCOMPARE(h.form->Marks().Count(), 0);
  h.Key(Qt::Key_Home);
  QVERIFY(h.Playing() && h.device.Position() == 0);
  h.Key(Qt::Key_O, Qt::ControlModifier);
  h.form->Marks().Add(5000);
  h.Key(Qt::Key_S, Qt::ControlModifier);
  QCOMPARE(h.prompts.openDialogsShown, 2);
  QVERIFY(h.prompts.dialogFolders.last().startsWith("SaveDialog1"));
}

// With the focus handed over by the pointer over the waveform, Space is the window's; after a
// click into the box's text, Home and a digit are text.
void TForm1MarkingTest::zoomBoxKeepsTypedKeys() {
  MarkingHarness h;
  MoveOverOverlay(*h.form, 200);
  h.Key(Qt::Key_Space);
  QVERIFY(h.Playing());
  h.Key(Qt::Key_Space);
  QTest::mouseClick(h.form->Controls().ComboBox1->lineEdit(), Qt::LeftButton);
  for (Qt::Key key : {Qt::Key_Home, Qt::Key_3, Qt::Key_Return}) h.Key(key);
  QCOMPARE(h.form->View().Zoom, 31000);
  QVERIFY(!h.Playing() && h.prompts.messages.isEmpty());
}

QTEST_MAIN(TForm1MarkingTest)
#include "TForm1MarkingTest.moc"
