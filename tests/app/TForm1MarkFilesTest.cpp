// Marks with names through the window: a label file read in (markers on the ruler, the cut map),
// written out again and a cue sheet written and read back by the menu items with injected dialogs;
// the pieces named by "マーク名をファイル名に使う"; the markers a file carries noted on open and read.
#include <QAction>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QtTest>

#include "AppTestSupport.h"
#include "support/SndfileCheck.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

constexpr int32_t kRate = 44100;
constexpr int32_t kZoom = 1000;  // the zoom at start: the whole file in view

WavRecipe Mono8(int64_t frames) {
  WavRecipe recipe;
  recipe.channels = 1;
  recipe.bits = 8;
  recipe.frames = frames;
  recipe.rate = kRate;
  return recipe;
}

std::string FileText(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) { WriteFileBytes(path, {text.begin(), text.end()}); }

// The ruler's red marker columns in row 15, and those the marks must give: three columns each,
// around (mark - 1) div zoom + 1 with the view starting at frame 1.
QList<int> Columns(const QImage& image, int y, uint32_t rgb) {
  QList<int> xs;
  for (int x = 0; x < image.width(); ++x) {
    if ((image.pixel(x, y) & 0xFFFFFFu) == rgb) xs << x;
  }
  return xs;
}
QList<int> RedColumns(const QImage& ruler) { return Columns(ruler, 15, 0xFF0000u); }
// The cut map's blue box edges in row 4: x = trunc(mark / frames x 621), a box (X1, X2) from X1 to X2 - 1.
QList<int> BoxEdges(const QImage& strip) { return Columns(strip, 4, 0x0000FFu); }
QList<int> Markers(const QList<int64_t>& marks) {
  QList<int> xs;
  for (int64_t m : marks) {
    const int x = static_cast<int>((m - 1) / kZoom + 1);
    xs << x - 1 << x << x + 1;
  }
  return xs;
}

// A label line as the writer must give it: the mark's start in seconds rounded up to the
// microsecond, six decimals, twice, then the name.
std::string LabelLine(int64_t mark, const std::string& name) {
  const int64_t us = ((mark - 1) * 1000000 + kRate - 1) / kRate;
  const std::string seconds = std::to_string(us / 1000000) + "." + QString::number(us % 1000000).rightJustified(6, '0').toStdString();
  return seconds + "\t" + seconds + "\t" + name + "\n";
}

// A "cue " chunk and a LIST "adtl" with a label for each point (ids from 1).
std::vector<uint8_t> Markers(const std::vector<uint32_t>& offsets, const std::vector<std::string>& labels) {
  std::vector<uint8_t> cue(4);
  PutU32(cue, 0, static_cast<uint32_t>(offsets.size()));
  std::vector<uint8_t> adtl{'a', 'd', 't', 'l'};
  for (size_t i = 0; i < offsets.size(); ++i) {
    std::vector<uint8_t> point(24);
    PutU32(point, 0, static_cast<uint32_t>(i + 1));
    for (int k = 0; k < 4; ++k) point[8 + k] = static_cast<uint8_t>("data"[k]);
    PutU32(point, 20, offsets[i]);
    cue.insert(cue.end(), point.begin(), point.end());
    std::vector<uint8_t> body(4);
    PutU32(body, 0, static_cast<uint32_t>(i + 1));
    body.insert(body.end(), labels[i].begin(), labels[i].end());
    body.push_back(0);
    const std::vector<uint8_t> labl = Chunk("labl", body);
    adtl.insert(adtl.end(), labl.begin(), labl.end());
  }
  std::vector<uint8_t> chunks = Chunk("cue ", cue);
  const std::vector<uint8_t> list = Chunk("LIST", adtl);
  chunks.insert(chunks.end(), list.begin(), list.end());
  return chunks;
}

}  // namespace

class TForm1MarkFilesTest : public QObject {
  Q_OBJECT
 private slots:
  void labelsAndCueSheetsInAndOut();
  void namedPiecesAndTheCopyWithMarkers();
  void markersNotedOnOpenAndRead();
};

void TForm1MarkFilesTest::labelsAndCueSheetsInAndOut() {
  Harness h;
  h.Open(h.Wav("take.wav", Mono8(621000)));
  TForm1& f = *h.form;
  const QString folder = QString::fromStdString(h.dir.path());
  // Marks 30000, 100000 and 300000: trunc(start x 44100) + 1; a region also marks its end.
  const std::string labels = h.dir.File("in.txt");
  WriteText(labels, "0.680250\t0.680250\tIntro\r\n2.267552\t2.267552\t\n6.802700\t7.000000\tOutro\n");
  h.prompts.openAnswers.push_back(QString::fromStdString(labels));
  f.Menus().ReadLabels1->trigger();
  QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join('|')));
  QCOMPARE(h.prompts.dialogFolders.last(), "OpenLabels " + folder);
  QCOMPARE(f.Controls().Memo2->toPlainText(), QStringLiteral("30000\n100000\n300000\n308701"));
  QCOMPARE(RedColumns(Ruler(f)), Markers({30000, 100000, 300000, 308701}));
  QCOMPARE(f.Marks().NameOf(30000), std::string("Intro"));
  // The cut map: (30000, 100000) and (300000, 308701) selected, of 621000 frames on 621 columns.
  QCOMPARE(BoxEdges(Strip(f)), (QList<int>{30, 99, 300, 307}));

  // Written as point labels that read back as the same marks.
  const std::string out = h.dir.File("out.txt");
  h.prompts.saveAnswers.push_back(QString::fromStdString(out));
  f.Flags().Busy = 1;  // the writers only read the marks
  f.Menus().WriteLabels1->trigger();
  f.Flags().Busy = 0;
  QCOMPARE(h.prompts.dialogFolders.last(), "SaveLabels " + folder);
  QCOMPARE(FileText(out), LabelLine(30000, "Intro") + LabelLine(100000, "") + LabelLine(300000, "Outro") +
                              LabelLine(308701, ""));

  // The cue sheet: whole 75ths of a second, so the marks come back earlier, by 119 frames at most.
  const std::string sheet = h.dir.File("take.cue");
  h.prompts.saveAnswers.push_back(QString::fromStdString(sheet));
  f.Menus().WriteCue1->trigger();
  QCOMPARE(h.prompts.dialogFolders.last(), "SaveCue " + folder);
  QCOMPARE(f.Controls().StatusBar1->currentMessage(),
           QStringLiteral("CUEシートの時刻は1/75秒単位のため、マーク位置は最大 119 サンプル（3 ミリ秒）前になります。"));
  f.N2Click();
  QVERIFY(RedColumns(Ruler(f)).isEmpty());
  h.prompts.openAnswers.push_back(QString::fromStdString(sheet));
  f.Menus().ReadCue1->trigger();
  QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join('|')));
  // c = (mark - 1) x 75 div 44100 → (c div 75) x 44100 + (c mod 75) x 44100 div 75 + 1.
  QCOMPARE(f.Controls().Memo2->toPlainText(), QStringLiteral("29989\n99961\n299881\n308701"));
  QCOMPARE(RedColumns(Ruler(f)), Markers({29989, 99961, 299881, 308701}));
  QCOMPARE(BoxEdges(Strip(f)), (QList<int>{29, 98, 299, 307}));
  QCOMPARE(f.Marks().NameOf(299881), std::string("Outro"));

  // A file that is not a label file: refused with its line, the marks kept.
  WriteText(labels, "1.0\t1.0\tok\nnot a label\n");
  h.prompts.openAnswers.push_back(QString::fromStdString(labels));
  f.Menus().ReadLabels1->trigger();
  QCOMPARE(h.prompts.messages, QStringList({QStringLiteral("ラベルファイルの 2 行目はラベルではありません。")}));
  QCOMPARE(f.Marks().Count(), 4);
}

void TForm1MarkFilesTest::namedPiecesAndTheCopyWithMarkers() {
  Harness h;
  h.Open(h.Wav("take.wav", Mono8(6000)));
  TForm1& f = *h.form;
  MarkSet set;
  set.marks = {{2001, "Interview: Tanaka"}, {4001, ""}};
  set.piece0Name = "Opening";
  f.Marks().ReplaceAll(set);
  const QString base = QString::fromStdString(h.dir.File("p"));
  h.prompts.saveAnswers.push_back(base);
  f.N9Click();  // unchecked: numbered as ever
  QVERIFY(!f.Menus().UseNames1->isChecked());
  f.Menus().UseNames1->trigger();
  f.Menus().ExactCut1->trigger();
  h.prompts.saveAnswers.push_back(base);
  f.N9Click();
  QCOMPARE(QString::fromStdString(h.dir.Listing()),
           QStringLiteral("p00 Opening.wav p00.wav p01 Interview_ Tanaka.wav p01.wav p02.wav take.wav"));
  QCOMPARE(ReadWithSndfile(h.dir.File("p01 Interview_ Tanaka.wav")).title, std::string("Interview: Tanaka"));

  const std::string copy = h.dir.File("copy.wav");
  h.prompts.saveAnswers.push_back(QString::fromStdString(copy));
  f.Menus().MarkerCopy1->trigger();
  QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join('|')));
  const SndfileInfo info = ReadWithSndfile(copy);
  QCOMPARE(info.frames, int64_t{6000});
  QCOMPARE(info.cues, (std::vector<SndfileInfo::Cue>{{1, 2000, 2000}, {2, 4000, 4000}}));
}

void TForm1MarkFilesTest::markersNotedOnOpenAndRead() {
  Harness h;
  WavRecipe recipe = Mono8(6000);
  recipe.chunksAfterData = Markers({1499, 0, 2999, 9000}, {"a", "start", "b", "beyond the samples"});
  const QString path = h.Wav("rec.wav", recipe);
  h.Open(path);
  TForm1& f = *h.form;
  QCOMPARE(f.Controls().StatusBar1->currentMessage(),
           QStringLiteral("マーカー3個（編集 → 全マークポイント保存・読込 で読み込めます）"));
  QCOMPARE(f.Marks().Count(), 0);  // only noted
  f.Menus().ReadMarkers1->trigger();
  QCOMPARE(f.Controls().Memo2->toPlainText(), QStringLiteral("1\n1500\n3000"));
  QCOMPARE(f.Marks().NameOf(1500), std::string("a"));

  // A file without markers says nothing on open, and reading them keeps the marks.
  h.Open(h.Wav("plain.wav", Mono8(6000)));
  QVERIFY(f.Controls().StatusBar1->currentMessage().isEmpty());
  f.Marks().Add(100);
  f.Menus().ReadMarkers1->trigger();
  QCOMPARE(h.prompts.messages, QStringList({QStringLiteral("読み込めるマークがありません。")}));
  QCOMPARE(f.Marks().Count(), 1);
}

QTEST_MAIN(TForm1MarkFilesTest)
#include "TForm1MarkFilesTest.moc"
