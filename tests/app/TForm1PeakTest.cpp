// The peak view through the window: switching it on and off, and wide views that wait for the
// summary. (Its menu item: TForm1LayoutTest.)
#include <QAction>
#include <QComboBox>
#include <QScrollBar>
#include <QtTest>

#include "AppTestSupport.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

// 16-bit stereo silence with one full-scale frame (left up, right down) at frame click; 4 MB, so
// a view at zoom 1000 is too wide to read without the summary.
WavRecipe Click(int64_t click) {
  WavRecipe recipe;
  recipe.frames = 1000000;
  recipe.sample = [click](int64_t f, int c) { return f + 1 == click ? 32767 - c * 65535 : 0; };
  return recipe;
}

void TogglePeakView(TForm1& f) { f.Menus().PeakView1->trigger(); }

}  // namespace

class TForm1PeakTest : public QObject {
  Q_OBJECT

 private slots:
  void switchingOffGivesTheOneFrameDrawingBack();
  void widePeaksArriveOnceTheSummaryIsBuilt();
};

// Window a goes through the peak view and back, window b never leaves the one-frame drawing.
// Switching redraws only the lanes: playback goes on.
void TForm1PeakTest::switchingOffGivesTheOneFrameDrawingBack() {
  Harness a, b;
  const QString path = a.Wav("click.wav", Click(500123));
  a.Open(path);
  b.Open(path);
  QCOMPARE(Lane1(*a.form), Lane1(*b.form));
  QCOMPARE(BlueRuns(Lane1(*a.form), 501), QString());
  QVERIFY(a.device.Open().ok());
  a.device.Play();
  TogglePeakView(*a.form);
  QTRY_COMPARE(BlueRuns(Lane1(*a.form), 501), QStringLiteral("1..80"));
  QCOMPARE(BlueRuns(Lane1(*a.form), 500), QStringLiteral("80..80"));
  QCOMPARE(a.device.Mode(), PlaybackMode::kPlaying);

  for (Harness* w : {&a, &b}) {
    w->form->Controls().ComboBox1->setCurrentText(QStringLiteral("300"));
    w->form->Controls().ScrollBar1->setValue(450001);
  }
  QCOMPARE(a.form->View().ViewStart, qint64{450001});
  QCOMPARE(BlueRuns(Lane1(*a.form), 168), QStringLiteral("1..80"));
  TogglePeakView(*a.form);
  QCOMPARE(Lane1(*a.form), Lane1(*b.form));
  QCOMPARE(Lane2(*a.form), Lane2(*b.form));
  QVERIFY(a.prompts.messages.isEmpty());
}

// In peak view from the start, a file opened while the previous one's summary is still being
// built: the old build is dropped, and the new file's peaks show once its summary is there.
void TForm1PeakTest::widePeaksArriveOnceTheSummaryIsBuilt() {
  Harness h;
  TogglePeakView(*h.form);
  h.Open(h.Wav("first.wav", Click(3)));
  h.Open(h.Wav("second.wav", Click(700456)));
  QTRY_COMPARE(BlueRuns(Lane1(*h.form), 701), QStringLiteral("1..80"));
  QCOMPARE(BlueRuns(Lane1(*h.form), 1), QStringLiteral("80..80"));
  QCOMPARE(BlueRuns(Lane2(*h.form), 701), QStringLiteral("80..159"));
}

QTEST_MAIN(TForm1PeakTest)
#include "TForm1PeakTest.moc"
