// "無音部分にマーク…" through the window: the dialog's values, the refusals, the marks found merged
// into those set (duplicates skipped, at most 255), and the scan run like an output and stopped by
// a double-click on the status panel.
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/PauseSettingsDialog.h"
#include "app/ProgressArrow.h"
#include "app/RasterWidget.h"
#include "view/ViewImages.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

const QString kBusy = QStringLiteral("ファイル作成中です");
const QString kNoMarkPlaying = QStringLiteral("再生中はマークできません。停止してから指定してください。");

// 16-bit mono at 8000 Hz, loud but for two silent seconds at frames 16001..32000 and 48001..64000:
// with the default settings the pauses' marks are 24001 and 56001.
QString PauseWav(Harness& h, int64_t frames) {
  WavRecipe recipe;
  recipe.channels = 1;
  recipe.rate = 8000;
  recipe.frames = frames;
  recipe.sample = [](int64_t f, int) {
    const bool quiet = (f >= 16000 && f < 32000) || (f >= 48000 && f < 64000);
    return quiet ? 0 : (f % 2 ? 10000 : -10000);
  };
  return h.Wav("talk.wav", recipe);
}

struct PauseHarness : Harness {
  explicit PauseHarness(int64_t frames = 80000) { Open(PauseWav(*this, frames)); }
  void Scan() {
    prompts.pauseAnswers.push_back(PauseSettings{});
    form->Menus().PauseMarks1->trigger();
  }
  QString Notice() { return form->Controls().StatusBar1->currentMessage(); }
};

}  // namespace

class TForm1PauseMarksTest : public QObject {
  Q_OBJECT

 private slots:
  void dialogStartsWithTheLastValues();
  void refusals();
  void foundMarksMerged_data();
  void foundMarksMerged();
  void scanRunsLikeAnOutputAndStopsOnDoubleClick();
};

void TForm1PauseMarksTest::dialogStartsWithTheLastValues() {
  PauseSettingsDialog dialog(PauseSettings{});
  QCOMPARE(dialog.ThresholdBox()->value(), -50.0);
  QCOMPARE(dialog.ShortestBox()->value(), 1000);
  dialog.ThresholdBox()->setValue(-120);
  dialog.ShortestBox()->setValue(700000);
  QCOMPARE(dialog.Settings().belowDb, -96.0);
  QCOMPARE(dialog.Settings().minMs, 600000);
  dialog.ThresholdBox()->setValue(-42.5);
  QCOMPARE(dialog.Settings().belowDb, -42.5);

  PauseHarness h;
  h.prompts.pauseAnswers.push_back(PauseSettings{-42.5, 250});
  h.form->PauseMarks1Click();
  h.form->PauseMarks1Click();  // cancelled: the values stay
  h.form->PauseMarks1Click();
  QCOMPARE(h.prompts.pauseInitials.size(), size_t{3});
  QCOMPARE(h.prompts.pauseInitials[0].belowDb, -50.0);
  QCOMPARE(h.prompts.pauseInitials[2].belowDb, -42.5);
  QCOMPARE(h.prompts.pauseInitials[2].minMs, 250);
}

// Busy and playback refuse with the messages of "ライン位置でマーク追加", no document silently;
// none shows the dialog.
void TForm1PauseMarksTest::refusals() {
  PauseHarness h;
  TForm1& f = *h.form;
  f.Flags().Busy = 1;
  h.Scan();
  f.Flags().Busy = 0;
  QVERIFY(h.device.Open().ok());
  h.device.Play();
  h.Scan();
  Harness empty;
  empty.prompts.pauseAnswers.push_back(PauseSettings{});
  empty.form->PauseMarks1Click();
  QCOMPARE(h.prompts.messages, (QStringList{kBusy, kNoMarkPlaying}));
  QVERIFY(h.prompts.pauseInitials.empty() && empty.prompts.pauseInitials.empty() && empty.prompts.messages.empty());
  QCOMPARE(f.Marks().Count(), 0);
}

// Marks already set: `others` away from the pauses, plus 24001 when `duplicate`. The total counts
// only the new marks against 255.
void TForm1PauseMarksTest::foundMarksMerged_data() {
  QTest::addColumn<int>("others");
  QTest::addColumn<bool>("duplicate");
  QTest::addColumn<int>("added");  // -1: refused
  QTest::newRow("one kept, one new") << 1 << true << 1;
  QTest::newRow("both new up to 255") << 253 << false << 2;
  QTest::newRow("the duplicate lets it fit") << 253 << true << 1;
  QTest::newRow("256 refused") << 254 << false << -1;
}

void TForm1PauseMarksTest::foundMarksMerged() {
  QFETCH(int, others);
  QFETCH(bool, duplicate);
  QFETCH(int, added);
  PauseHarness h;
  TForm1& f = *h.form;
  for (int i = 0; i < others; ++i) QVERIFY(f.Marks().Add(100 + i).ok());
  if (duplicate) QVERIFY(f.Marks().Add(24001).ok());
  const int before = f.Marks().Count();
  const QImage strip = Strip(f);
  h.Scan();
  if (added < 0) {
    QCOMPARE(h.prompts.messages, QStringList{QStringLiteral("無音部分が2個見つかりました。マークは255個までです。"
                                                            "最短の無音を長くするか、しきい値を下げてください。")});
    QCOMPARE(f.Marks().Count(), before);
    return;
  }
  QVERIFY(h.prompts.messages.isEmpty());
  QCOMPARE(f.Marks().Count(), before + added);
  QVERIFY(f.Marks().Contains(24001) && f.Marks().Contains(56001));
  QVERIFY(f.Controls().Memo1->toPlainText().endsWith(duplicate ? "24001\n56001" : "\n24001\n56001"));
  QCOMPARE(f.Controls().Memo2->toPlainText().split('\n').size(), f.Marks().Count());
  QVERIFY(Strip(f) != strip);
  QCOMPARE(h.Notice(), QStringLiteral("無音部分に%1個のマークを追加しました。").arg(added));
}

// While the scan runs the window serves events: Busy refuses, the panel tells the scan, the arrow
// moves. A double-click on the panel stops it with nothing added; the panel then returns to the
// playback texts.
void TForm1PauseMarksTest::scanRunsLikeAnOutputAndStopsOnDoubleClick() {
  PauseHarness h(600000);  // 1.2 MB: two blocks, so the stop lands between them
  TForm1& f = *h.form;
  OutputOptions options;
  options.idleInterval = std::chrono::milliseconds(0);
  f.SetOutputOptions(options);
  bool ran = false;
  QTimer::singleShot(0, &f, [&] {
    ran = true;
    QCOMPARE(f.Controls().Panel1->text(), QStringLiteral("無音検出中"));
    f.N1Click();
    f.Timer1Timer();  // the refresh tick leaves the panel to the scan
    f.Timer2Timer();
    const int x = ProgressArrowX(f.Flags().CopyPos, f.File().Header.FileSize);
    QVERIFY(x > 18 && view::IsPureRed(f.ProgressBand().Image(), x - kProgressBandLeft, 0));
    const QPointF at(5, 5);
    QMouseEvent click(QEvent::MouseButtonDblClick, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.Controls().Panel1, &click);
  });
  h.Scan();
  QVERIFY(ran);
  QCOMPARE(h.prompts.messages, QStringList{kBusy});
  QCOMPARE(f.Marks().Count(), 0);
  QCOMPARE(h.Notice(), QStringLiteral("無音部分の検出を中止しました。"));
  QCOMPARE(f.Flags().Busy + f.Flags().AbortRequested + f.Flags().StatusHeld, 0);
  f.Timer1Timer();
  QCOMPARE(f.Controls().Panel1->text(), QStringLiteral("停止"));
}

QTEST_MAIN(TForm1PauseMarksTest)
#include "TForm1PauseMarksTest.moc"
