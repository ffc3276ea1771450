// The busy guard while a file is being written, quitting, the status panel and Form2.
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "AppTestSupport.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

const QString kBusy = QStringLiteral("ファイル作成中です");

WavRecipe Stereo(int64_t frames) {
  WavRecipe recipe;
  recipe.frames = frames;
  return recipe;
}

}  // namespace

class TForm1BusyTest : public QObject {
  Q_OBJECT

 private slots:
  void guardedHandlersRefuse_data();
  void guardedHandlersRefuse();
  void unguardedHandlersRun_data();
  void unguardedHandlersRun();
  void scrollRefusedKeepsView();
  void zoomRefusedKeepsZoom();
  void openRefused();
  void exitRefusedWhileBusy();
  void exitClosesWhenIdle();
  void panelDoubleClick();
  void closeWhileBusyWaitsForWriter();
  void noDocumentIsSilent_data();
  void noDocumentIsSilent();
};

void TForm1BusyTest::guardedHandlersRefuse_data() {
  QTest::addColumn<QString>("slot");
  for (const char* slot : {"ScrollBar1Change", "ComboBox1Change", "N1Click", "N2Click", "N6Click", "N8Click", "N3Click",
                           "N10Click", "N9Click", "N13Click", "SpeedButton1Click", "SpeedButton2Click",
                           "SpeedButton3Click", "SpeedButton4Click", "TrackBar1Change", "Exit1Click", "Open1Click"}) {
    QTest::newRow(slot) << QString::fromLatin1(slot);
  }
}

void TForm1BusyTest::guardedHandlersRefuse() {
  QFETCH(QString, slot);
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Stereo(100000)));
  f.Flags().Busy = 1;
  QVERIFY(QMetaObject::invokeMethod(&f, slot.toLatin1().constData(), Qt::DirectConnection));
  QCOMPARE(h.prompts.messages, QStringList{kBusy});
  QCOMPARE(h.prompts.openDialogsShown, 1);  // the first open only
  QCOMPARE(f.Flags().Busy, true);
}

void TForm1BusyTest::unguardedHandlersRun_data() {
  QTest::addColumn<QString>("slot");
  for (const char* slot : {"N12Click", "kjoer1Click", "Timer1Timer", "Timer2Timer", "Panel1DblClick"}) {
    QTest::newRow(slot) << QString::fromLatin1(slot);
  }
}

void TForm1BusyTest::unguardedHandlersRun() {
  QFETCH(QString, slot);
  Harness h;
  h.Open(h.Wav("a.wav", Stereo(1000)));
  QVERIFY(h.form->Marks().Add(100).ok());  // so that recording the marks has something to write
  h.form->Flags().Busy = 1;
  QVERIFY(QMetaObject::invokeMethod(h.form.get(), slot.toLatin1().constData(), Qt::DirectConnection));
  QVERIFY(h.prompts.messages.isEmpty());
}

void TForm1BusyTest::scrollRefusedKeepsView() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Stereo(1000000)));
  f.Flags().Busy = 1;
  f.Controls().ScrollBar1->setValue(50500);
  QCOMPARE(h.prompts.messages, QStringList{kBusy});
  QCOMPARE(f.Controls().ScrollBar1->value(), 50500);  // the bar keeps the user's position
  QCOMPARE(f.View().ViewStart, qint64{1});

  f.EndBusy();
  f.Controls().ScrollBar1->setValue(50600);  // the next change is handled in full
  QCOMPARE(f.View().ViewStart, qint64{50001});
}

void TForm1BusyTest::zoomRefusedKeepsZoom() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Stereo(1000000)));
  f.Flags().Busy = 1;
  f.Controls().ComboBox1->setCurrentText(QStringLiteral("100"));
  QCOMPARE(h.prompts.messages, QStringList{kBusy});
  QCOMPARE(f.View().Zoom, 1000);
}

void TForm1BusyTest::openRefused() {
  Harness h;
  TForm1& f = *h.form;
  const QString first = h.Wav("a.wav", Stereo(1000));
  h.Open(first);
  QVERIFY(f.Marks().Add(100).ok());
  f.Flags().Busy = 1;
  h.Open(h.Wav("b.wav", Stereo(1000)));
  f.OpenWaveFile(QString::fromStdString(h.dir.File("b.wav")));
  QCOMPARE(h.prompts.messages, (QStringList{kBusy, kBusy}));
  QCOMPARE(h.prompts.openDialogsShown, 1);
  QCOMPARE(QString::fromStdString(f.File().WaveFileName), first);
  QCOMPARE(f.Marks().Count(), 1);
}

void TForm1BusyTest::exitRefusedWhileBusy() {
  Harness h;
  TForm1& f = *h.form;
  f.show();
  QSignalSpy closed(&f, &TForm1::Closed);
  f.Flags().Busy = 1;
  f.Menus().Exit1->trigger();
  QCOMPARE(h.prompts.messages, QStringList{kBusy});
  QVERIFY(f.isVisible());
  QCOMPARE(closed.count(), 0);
  QCOMPARE(f.Flags().AbortRequested, false);
}

void TForm1BusyTest::exitClosesWhenIdle() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("a.wav", Stereo(1000)));
  f.show();
  QVERIFY(h.device.Open().ok());
  h.device.Play();
  QSignalSpy closed(&f, &TForm1::Closed);
  f.Menus().Exit1->trigger();
  QVERIFY(!f.isVisible());
  QCOMPARE(closed.count(), 1);
  QCOMPARE(h.device.Mode(), PlaybackMode::kNotReady);
}

void TForm1BusyTest::panelDoubleClick() {
  Harness h;
  TForm1& f = *h.form;
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  QTest::mouseDClick(f.Controls().Panel1, Qt::LeftButton);
  QCOMPARE(f.Flags().AbortRequested, false);  // nothing being written: no change
  f.Flags().Busy = 1;
  QTest::mouseDClick(f.Controls().Panel1, Qt::LeftButton);
  QCOMPARE(f.Flags().AbortRequested, true);
  QVERIFY(h.prompts.messages.isEmpty());
}

// Closing while a file is being written asks the writer to stop, and the window closes when the
// writer has finished.
void TForm1BusyTest::closeWhileBusyWaitsForWriter() {
  Harness h;
  TForm1& f = *h.form;
  f.show();
  QSignalSpy closed(&f, &TForm1::Closed);
  f.Flags().Busy = 1;
  QVERIFY(!f.close());
  QVERIFY(f.isVisible());
  QCOMPARE(f.Flags().AbortRequested, true);
  QCOMPARE(closed.count(), 0);
  f.EndBusy();
  QCOMPARE(f.Flags().Busy, false);
  QVERIFY(!f.isVisible());
  QCOMPARE(closed.count(), 1);
}

void TForm1BusyTest::noDocumentIsSilent_data() { guardedHandlersRefuse_data(); }

void TForm1BusyTest::noDocumentIsSilent() {
  QFETCH(QString, slot);
  if (slot == QLatin1String("Exit1Click") || slot == QLatin1String("Open1Click")) QSKIP("not a document command");
  Harness h;
  QVERIFY(QMetaObject::invokeMethod(h.form.get(), slot.toLatin1().constData(), Qt::DirectConnection));
  QVERIFY(h.prompts.messages.isEmpty());
  QVERIFY(!h.form->DocumentOpen());
}

QTEST_MAIN(TForm1BusyTest)
#include "TForm1BusyTest.moc"
