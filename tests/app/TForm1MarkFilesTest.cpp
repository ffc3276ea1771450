// Marks with names through the window's items, dialogs injected: a label file read in (markers on
// the ruler, boxes on the cut map), a cue sheet written (its rounding told) and read back, a copy
// with markers whose markers are noted when it is opened and then read.
#include <QAction>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QtTest>

#include "AppTestSupport.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

// Pure red columns of the ruler's row 15, pure blue ones of the cut map's row 4.
QList<int> Columns(const QImage& image, int y, uint32_t rgb) {
  QList<int> xs;
  for (int x = 0; x < image.width(); ++x) {
    if ((image.pixel(x, y) & 0xFFFFFFu) == rgb) xs << x;
  }
  return xs;
}

// Each mark's three marker columns around (mark - 1) div 1000 + 1: the zoom at start, view at frame 1.
QList<int> Markers(const QList<int64_t>& marks) {
  QList<int> xs;
  for (int64_t m : marks) xs << static_cast<int>((m - 1) / 1000) << static_cast<int>((m - 1) / 1000 + 1)
                             << static_cast<int>((m - 1) / 1000 + 2);
  return xs;
}

}  // namespace

class TForm1MarkFilesTest : public QObject {
  Q_OBJECT
 private slots:
  void readersAndWriters();
};

void TForm1MarkFilesTest::readersAndWriters() {
  Harness h;
  WavRecipe recipe;  // 8-bit mono, 621000 frames at 44.1 kHz: the cut map's column x is frame 1000x
  recipe.channels = 1;
  recipe.bits = 8;
  recipe.frames = 621000;
  h.Open(h.Wav("take.wav", recipe));
  TForm1& f = *h.form;
  const QString folder = QString::fromStdString(h.dir.path());
  QVERIFY(f.Controls().StatusBar1->currentMessage().isEmpty());  // no markers, nothing said

  // trunc(start x 44100) + 1: marks 30000, 100000, 300000 and the region's end 308701.
  const std::string labels = h.dir.File("in.txt");
  const std::string text = "0.680250\t0.680250\tIntro\r\n2.267552\t2.267552\t\n6.802700\t7.000000\tOutro\n";
  WriteFileBytes(labels, {text.begin(), text.end()});
  h.prompts.openAnswers.push_back(QString::fromStdString(labels));
  f.Menus().ReadLabels1->trigger();
  QCOMPARE(h.prompts.dialogFolders.last(), "OpenLabels " + folder);
  QCOMPARE(f.Controls().Memo2->toPlainText(), QStringLiteral("30000\n100000\n300000\n308701"));
  QCOMPARE(Columns(Ruler(f), 15, 0xFF0000u), Markers({30000, 100000, 300000, 308701}));
  QCOMPARE(Columns(Strip(f), 4, 0x0000FFu), (QList<int>{30, 99, 300, 307}));  // boxes (X1, X2), (X3, X4)

  // The cue sheet holds 75ths of a second: mark 300000 moves to 299881, the most of the four.
  const std::string sheet = h.dir.File("take.cue");
  h.prompts.saveAnswers.push_back(QString::fromStdString(sheet));
  f.Flags().Busy = 1;  // the writers only read the marks
  f.Menus().WriteCue1->trigger();
  f.Flags().Busy = 0;
  QCOMPARE(h.prompts.dialogFolders.last(), "SaveCue " + folder);
  QCOMPARE(f.Controls().StatusBar1->currentMessage(),
           QStringLiteral("CUEシートの時刻は1/75秒単位のため、マーク位置は最大 119 サンプル（2.7 ミリ秒）前になります。"));
  f.N2Click();
  h.prompts.openAnswers.push_back(QString::fromStdString(sheet));
  f.Menus().ReadCue1->trigger();
  QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join('|')));
  QCOMPARE(f.Controls().Memo2->toPlainText(), QStringLiteral("29989\n99961\n299881\n308701"));
  QCOMPARE(Columns(Ruler(f), 15, 0xFF0000u), Markers({29989, 99961, 299881, 308701}));
  QCOMPARE(f.Marks().NameOf(299881), std::string("Outro"));

  // "マーク名をファイル名に使う": the pieces that start at a named mark take its name.
  f.Menus().UseNames1->trigger();
  h.prompts.saveAnswers.push_back(folder + "/p");
  f.N9Click();
  QVERIFY(QFile::exists(folder + "/p01 Intro.wav") && QFile::exists(folder + "/p02.wav"));

  // The copy with markers carries them: opening it says so, and they read back with their names.
  const std::string copy = h.dir.File("copy.wav");
  h.prompts.saveAnswers.push_back(QString::fromStdString(copy));
  f.Menus().MarkerCopy1->trigger();
  h.Open(QString::fromStdString(copy));
  QCOMPARE(f.Controls().StatusBar1->currentMessage(),
           QStringLiteral("マーカー4個（編集 → 全マークポイント保存・読込 で読み込めます）"));
  QCOMPARE(f.Marks().Count(), 0);
  f.Menus().ReadMarkers1->trigger();
  QCOMPARE(f.Controls().Memo2->toPlainText(), QStringLiteral("29989\n99961\n299881\n308701"));
  QCOMPARE(f.Marks().NameOf(29989), std::string("Intro"));
  // The note goes with its file; a file without markers keeps the marks when asked for them.
  h.Open(h.Wav("plain.wav", recipe));
  QVERIFY(f.Controls().StatusBar1->currentMessage().isEmpty());
  f.Marks().Add(100);
  f.Menus().ReadMarkers1->trigger();
  QCOMPARE(h.prompts.messages, QStringList({QStringLiteral("読み込めるマークがありません。")}));
  QCOMPARE(f.Marks().Count(), 1);
}

QTEST_MAIN(TForm1MarkFilesTest)
#include "TForm1MarkFilesTest.moc"
