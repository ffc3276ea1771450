// The mark commands through the window: add at the line with its refusals, the three stores kept
// in step, delete at the line, delete all, keep head, and the mark list file.
#include <QAction>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

#include "AppTestSupport.h"
#include "OverlayInput.h"
#include "view/ViewImages.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

const QString kBusy = QStringLiteral("ファイル作成中です");
const QString kNoMarkPlaying = QStringLiteral("再生中はマークできません。停止してから指定してください。");
const QString kNoLine = QStringLiteral("タイムラインの指定がありません。タイムラインを指定してからマークして下さい。");
const QString kAlready = QStringLiteral("この位置ではマーク済みです。");
const QString kNotMarked =
    QStringLiteral("この位置ではマークされていません。タイムラインをマーク位置に合わせてください。");
const QString kNoDeletePlaying = QStringLiteral("再生中はマークの削除ができません。停止してから指定してください。");
const QString kNoPoints = QStringLiteral("マークポイトンがありません。ポイントを指定して下さい。");
const QString kNoFile = QStringLiteral("マークポイトンを記録しているファイルがありません。");

WavRecipe Mono8(int64_t frames) {
  WavRecipe recipe;
  recipe.channels = 1;
  recipe.bits = 8;
  recipe.frames = frames;
  return recipe;
}

QList<int> RedColumns(const QImage& image, int y) {
  QList<int> xs;
  for (int x = 0; x < image.width(); ++x) {
    if (view::IsPureRed(image, x, y)) xs << x;
  }
  return xs;
}

QList<int> BlueColumns(const QImage& image, int y) {
  QList<int> xs;
  for (int x = 0; x < image.width(); ++x) {
    if ((image.pixel(x, y) & 0xFFFFFFu) == 0x0000FFu) xs << x;
  }
  return xs;
}

QList<qint64> Slots(TForm1& f, int count) {
  QList<qint64> values;
  for (int i = 0; i <= count; ++i) values << f.Marks().Slot(i);
  return values;
}

// A window on a 621000-frame 8-bit mono file at zoom 1: column x shows frame ViewStart + x - 1
// (the zoom change snaps the view start to a frame just after 1).
struct MarkHarness : Harness {
  MarkHarness() {
    Open(Wav("take.wav", Mono8(621000)));
    form->Controls().ComboBox1->setCurrentText(QStringLiteral("1"));
  }
  int Column(int64_t frame) const { return static_cast<int>(frame - form->View().ViewStart + 1); }
  // The three marker columns of each mark.
  QList<int> Markers(const QList<int64_t>& marks) const {
    QList<int> xs;
    for (int64_t m : marks) xs << Column(m) - 1 << Column(m) << Column(m) + 1;
    return xs;
  }
  // The line at frame.
  void LineAt(int64_t frame) { PressOverlay(*form, Qt::LeftButton, Column(frame)); }
  void AddAt(int64_t frame) {
    LineAt(frame);
    form->N1Click();
  }
};

}  // namespace

class TForm1MarksTest : public QObject {
  Q_OBJECT

 private slots:
  void addRefusals_data();
  void addRefusals();
  void addRefusedAt256thMark();
  void addKeepsThreeStoresInStep();
  void addFromPopupAndEditMenu();
  void deleteUnderLineAtCoarseZoom();
  void deleteRefusedAwayFromMarker();
  void deleteAllRefusedWhilePlaying();
  void keepHeadTogglesStrip();
  void recordAndReadBack();
  void recordRefusals();
  void readBackRefusals_data();
  void readBackRefusals();
};

void TForm1MarksTest::addRefusals_data() {
  QTest::addColumn<QString>("situation");
  QTest::addColumn<QString>("message");
  QTest::newRow("playing") << "playing" << kNoMarkPlaying;
  QTest::newRow("no line") << "no line" << kNoLine;
  QTest::newRow("already marked") << "already marked" << kAlready;
  QTest::newRow("line scrolled out") << "scrolled" << kNoLine;
  QTest::newRow("busy") << "busy" << kBusy;
}

void TForm1MarksTest::addRefusals() {
  QFETCH(QString, situation);
  QFETCH(QString, message);
  MarkHarness h;
  TForm1& f = *h.form;
  h.AddAt(50);
  h.LineAt(300);
  if (situation == QLatin1String("no line")) f.WaveDrow();
  if (situation == QLatin1String("already marked")) h.LineAt(50);
  if (situation == QLatin1String("scrolled")) f.Controls().ScrollBar1->setValue(10001);
  if (situation == QLatin1String("busy")) f.Flags().Busy = 1;
  if (situation == QLatin1String("playing")) {
    QVERIFY(h.device.Open().ok());
    h.device.Play();
  }
  const QImage ruler = Ruler(f);
  f.N1Click();
  f.Flags().Busy = 0;
  QCOMPARE(h.prompts.messages, QStringList{message});
  QCOMPARE(Slots(f, 2), (QList<qint64>{1, 50, 0}));
  QCOMPARE(f.Controls().Memo1->toPlainText(), QStringLiteral("50"));
  QCOMPARE(f.Controls().Memo2->toPlainText(), QStringLiteral("50"));
  QCOMPARE(Ruler(f), ruler);
}

void TForm1MarksTest::addRefusedAt256thMark() {
  MarkHarness h;
  TForm1& f = *h.form;
  for (int64_t m = 1000; m < 1000 + 255; ++m) QVERIFY(f.Marks().Add(m).ok());
  h.AddAt(500);
  QCOMPARE(h.prompts.messages, QStringList{QStringLiteral("マークは255個までです。")});
  QCOMPARE(f.Marks().Count(), 255);
  QVERIFY(!f.Marks().Contains(500));
}

// Marks added at 300, 100, 200: slots ascending, Memo1 in adding order, Memo2 ascending; each
// marker drawn at its column, the cut map redrawn.
void TForm1MarksTest::addKeepsThreeStoresInStep() {
  MarkHarness h;
  TForm1& f = *h.form;
  h.AddAt(300);
  QCOMPARE(BlueColumns(Strip(f), 4), (QList<int>{0, 620}));  // one mark: from it to the end
  h.AddAt(100);
  h.AddAt(200);
  QVERIFY(h.prompts.messages.isEmpty());
  QCOMPARE(Slots(f, 4), (QList<qint64>{1, 100, 200, 300, 0}));
  QCOMPARE(f.Controls().Memo1->toPlainText(), QStringLiteral("300\n100\n200"));
  QCOMPARE(f.Controls().Memo2->toPlainText(), QStringLiteral("100\n200\n300"));
  QCOMPARE(RedColumns(Ruler(f), 15), h.Markers({100, 200, 300}));
  QVERIFY(RedColumns(Ruler(f), 11).isEmpty());
  // 621000 frames on 621 pixels: frame 100 -> x 0, 200 -> 0, 300 -> 0; keep head off, 3 marks:
  // (X1, X2) and (X3, 621).
  QCOMPARE(BlueColumns(Strip(f), 4), (QList<int>{0, 620}));

  // A delete makes Memo1 ascending as well.
  h.LineAt(200);
  f.N6Click();
  QCOMPARE(f.Controls().Memo1->toPlainText(), QStringLiteral("100\n300"));
  QCOMPARE(f.Controls().Memo2->toPlainText(), QStringLiteral("100\n300"));
  QCOMPARE(Slots(f, 3), (QList<qint64>{1, 100, 300, 0}));
}

void TForm1MarksTest::addFromPopupAndEditMenu() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("take.wav", Mono8(621000)));
  PressOverlay(f, Qt::LeftButton, 101);  // frame 100001 at zoom 1000: strip x 100
  f.Menus().N1->trigger();
  PressOverlay(f, Qt::LeftButton, 201);
  f.Menus().N5->trigger();
  QCOMPARE(Slots(f, 2), (QList<qint64>{1, 100001, 200001}));
  QCOMPARE(BlueColumns(Strip(f), 4), (QList<int>{100, 199}));
  PressOverlay(f, Qt::LeftButton, 202);
  f.Menus().N7->trigger();
  QCOMPARE(f.Marks().Count(), 1);
  PressOverlay(f, Qt::LeftButton, 100);
  f.Menus().N6->trigger();
  QCOMPARE(f.Marks().Count(), 0);
  QVERIFY(h.prompts.messages.isEmpty());
}

// At zoom 1000 the marks at frames 1001 and 2001 stand at columns 2 and 3: the line at column 2
// covers both markers' columns, so both go; the mark at column 6 stays.
void TForm1MarksTest::deleteUnderLineAtCoarseZoom() {
  Harness h;
  TForm1& f = *h.form;
  h.Open(h.Wav("take.wav", Mono8(621000)));
  f.Controls().ComboBox1->setCurrentText(QStringLiteral("100"));
  for (int x : {11, 21, 51}) {  // frames 1001, 2001, 5001
    PressOverlay(f, Qt::LeftButton, x);
    f.N1Click();
  }
  f.Controls().ComboBox1->setCurrentText(QStringLiteral("1000"));
  QCOMPARE(RedColumns(Ruler(f), 15), (QList<int>{1, 2, 3, 4, 5, 6, 7}));
  PressOverlay(f, Qt::LeftButton, 2);
  QVERIFY(h.device.Open().ok());
  h.device.Play();  // deleting one mark is allowed during playback
  f.N6Click();
  QVERIFY(h.prompts.messages.isEmpty());
  QCOMPARE(Slots(f, 2), (QList<qint64>{1, 5001, 0}));
  QCOMPARE(f.Controls().Memo1->toPlainText(), QStringLiteral("5001"));
  QCOMPARE(RedColumns(Ruler(f), 15), (QList<int>{5, 6, 7}));
}

void TForm1MarksTest::deleteRefusedAwayFromMarker() {
  MarkHarness h;
  TForm1& f = *h.form;
  h.AddAt(100);
  h.LineAt(103);  // three columns away: no marker pixel within one column
  f.N6Click();
  QCOMPARE(h.prompts.messages, QStringList{kNotMarked});
  QCOMPARE(f.Marks().Count(), 1);
  h.LineAt(101);  // on the marker's side line, one column from the mark
  f.N6Click();
  QCOMPARE(h.prompts.messages.size(), 1);
  QCOMPARE(f.Marks().Count(), 0);
}

void TForm1MarksTest::deleteAllRefusedWhilePlaying() {
  MarkHarness h;
  TForm1& f = *h.form;
  h.AddAt(100);
  h.AddAt(200);
  QVERIFY(h.device.Open().ok());
  h.device.Play();
  f.N2Click();
  QCOMPARE(h.prompts.messages, QStringList{kNoDeletePlaying});
  QCOMPARE(f.Marks().Count(), 2);
  h.device.Close();
  f.Menus().N2->trigger();
  QCOMPARE(f.Marks().Count(), 0);
  QCOMPARE(f.Marks().Slot(0), qint64{1});
  QVERIFY(f.Controls().Memo1->toPlainText().isEmpty());
  QVERIFY(f.Controls().Memo2->toPlainText().isEmpty());
  QVERIFY(RedColumns(Ruler(f), 15).isEmpty());
  QVERIFY(AllWhite(Strip(f)));
}

void TForm1MarksTest::keepHeadTogglesStrip() {
  Harness h;
  TForm1& f = *h.form;
  QAction* n8 = f.Menus().N8;
  n8->trigger();  // no document: the setting still toggles
  QVERIFY(f.Marks().KeepHead());
  QVERIFY(n8->isChecked());
  n8->trigger();
  QVERIFY(!f.Marks().KeepHead());

  h.Open(h.Wav("take.wav", Mono8(621000)));
  for (int x : {101, 201}) {
    PressOverlay(f, Qt::LeftButton, x);
    f.N1Click();
  }
  QCOMPARE(BlueColumns(Strip(f), 4), (QList<int>{100, 199}));
  n8->trigger();
  QCOMPARE(BlueColumns(Strip(f), 4), (QList<int>{0, 99, 200, 620}));
  QVERIFY(n8->isChecked());

  f.Flags().Busy = 1;
  n8->trigger();
  QCOMPARE(h.prompts.messages, QStringList{kBusy});
  QVERIFY(f.Marks().KeepHead());
  QVERIFY(n8->isChecked());
  f.Flags().Busy = 0;
  n8->trigger();
  QCOMPARE(BlueColumns(Strip(f), 4), (QList<int>{100, 199}));
}

// Marks 100, 200, 300 go to take.txt as three CR LF lines and come back into all three stores.
void TForm1MarksTest::recordAndReadBack() {
  MarkHarness h;
  TForm1& f = *h.form;
  for (int x : {300, 100, 200}) h.AddAt(x);
  f.Flags().Busy = 1;  // recording is allowed while a file is written
  f.Menus().N12->trigger();
  f.Flags().Busy = 0;
  const std::string listPath = h.dir.File("take.txt");
  const std::vector<uint8_t> bytes = ReadFileBytes(listPath);
  QCOMPARE(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size())),
           QByteArray("100\r\n200\r\n300\r\n"));

  f.N2Click();
  QVERIFY(RedColumns(Ruler(f), 15).isEmpty());
  f.Menus().N13->trigger();
  QVERIFY(h.prompts.messages.isEmpty());
  QCOMPARE(Slots(f, 4), (QList<qint64>{1, 100, 200, 300, 0}));
  QCOMPARE(f.Controls().Memo1->toPlainText(), QStringLiteral("100\n200\n300"));
  QCOMPARE(f.Controls().Memo2->toPlainText(), QStringLiteral("100\n200\n300"));
  QCOMPARE(RedColumns(Ruler(f), 15), h.Markers({100, 200, 300}));
  QCOMPARE(BlueColumns(Strip(f), 4), (QList<int>{0, 620}));

  // A file edited by hand: read back sorted, without duplicates.
  WriteFileBytes(listPath, {'5', '0', '0', '\n', '4', '0', '0', '\n', '5', '0', '0'});
  f.N13Click();
  QCOMPARE(f.Controls().Memo2->toPlainText(), QStringLiteral("400\n500"));
  QCOMPARE(Slots(f, 3), (QList<qint64>{1, 400, 500, 0}));
}

void TForm1MarksTest::recordRefusals() {
  Harness h;
  TForm1& f = *h.form;
  f.N12Click();  // no file: nothing
  QVERIFY(h.prompts.messages.isEmpty());
  h.Open(h.Wav("take.wav", Mono8(1000)));
  f.N12Click();
  QCOMPARE(h.prompts.messages, QStringList{kNoPoints});
  QVERIFY(!QFile::exists(QString::fromStdString(h.dir.File("take.txt"))));
}

void TForm1MarksTest::readBackRefusals_data() {
  QTest::addColumn<QByteArray>("file");  // empty: no file
  QTest::addColumn<bool>("busy");
  QTest::addColumn<QString>("message");
  QTest::newRow("missing") << QByteArray() << false << kNoFile;
  QTest::newRow("busy") << QByteArray("5\r\n") << true << kBusy;
  QTest::newRow("text") << QByteArray("5\r\nabc\r\n") << false << QStringLiteral("'abc' は整数ではありません");
  QTest::newRow("empty line") << QByteArray("5\r\n\r\n7\r\n") << false << QStringLiteral("'' は整数ではありません");
  QTest::newRow("zero") << QByteArray("0\r\n") << false << QStringLiteral("'0' はマーク位置として使えません。");
}

// Every refusal leaves the marks, the lists and the ruler as they were.
void TForm1MarksTest::readBackRefusals() {
  QFETCH(QByteArray, file);
  QFETCH(bool, busy);
  QFETCH(QString, message);
  MarkHarness h;
  TForm1& f = *h.form;
  h.AddAt(100);
  if (!file.isEmpty()) WriteFileBytes(h.dir.File("take.txt"), std::vector<uint8_t>(file.begin(), file.end()));
  const QImage ruler = Ruler(f);
  f.Flags().Busy = busy ? 1 : 0;
  f.N13Click();
  f.Flags().Busy = 0;
  QCOMPARE(h.prompts.messages, QStringList{message});
  QCOMPARE(Slots(f, 2), (QList<qint64>{1, 100, 0}));
  QCOMPARE(f.Controls().Memo1->toPlainText(), QStringLiteral("100"));
  QCOMPARE(Ruler(f), ruler);
}

QTEST_MAIN(TForm1MarksTest)
#include "TForm1MarksTest.moc"
