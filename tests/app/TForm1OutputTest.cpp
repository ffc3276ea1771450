// The cut-editing commands through the window: dialogs, the free-space question, Busy and
// StatusHeld, the status panel, abort by a double-click on Panel1 while copying, the busy guard
// during a copy, errors, and Timer2's progress arrow. The bytes are the output engine's own.
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/ProgressArrow.h"
#include "app/RasterWidget.h"
#include "output/OutputCommands.h"
#include "support/FillingSink.h"
#include "support/SndfileCheck.h"
#include "view/ViewImages.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

const QString kBusy = QStringLiteral("ファイル作成中です");
const QString kCreating = QStringLiteral("ファイル作成中");
const QString kFinished = QStringLiteral("ファイル作成終了");
const QString kStopped = QStringLiteral("ファイル作成中止");
const QString kLowSpace =
    QStringLiteral("保存しようとしているドライブの容量が不足している可能性があります。保存しますか？");
const QColor kRed(255, 0, 0);
const QColor kDarkGreen(0, 128, 0);

constexpr int64_t kDataOffset = 44;
const std::vector<int64_t> kMarks = {3001, 9001, 15001};  // frames of a 16-bit stereo file

WavRecipe Source() {
  WavRecipe recipe;
  recipe.frames = 30000;  // 120000 sample bytes
  recipe.sample = [](int64_t frame, int channel) { return CountingSample(frame, channel, 16); };
  return recipe;
}

class YesHost final : public OutputHost {
 public:
  bool ConfirmLowSpace(const std::string&) override { return true; }
};

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

QColor PanelColour(TForm1& f) { return f.Controls().Panel1->palette().color(QPalette::WindowText); }

enum class Command { kCut, kSplitRanges, kSplitAtMarks };

void Run(TForm1& f, Command command) {
  switch (command) {
    case Command::kCut: f.N3Click(); break;
    case Command::kSplitRanges: f.N10Click(); break;
    case Command::kSplitAtMarks: f.N9Click(); break;
  }
}

// The files the engine writes for the command on the window's document, under base in dir.
std::vector<std::string> EngineOutputs(TForm1& f, Command command, bool keepHead, bool exact,
                                       const std::string& base) {
  CreationFlags flags;
  YesHost host;
  const std::vector<int64_t> marks = f.Marks().Sorted();
  OutputOptions options;
  options.exactCuts = exact;
  OutputResult r;
  switch (command) {
    case Command::kCut: r = WriteCutEditedFile(f.File(), marks, keepHead, base, flags, host, options); break;
    case Command::kSplitRanges: r = SplitSelectedRanges(f.File(), marks, keepHead, base, flags, host, options); break;
    case Command::kSplitAtMarks: r = SplitAtMarks(f.File(), marks, base, flags, host, options); break;
  }
  return r.written;
}

struct OutputHarness : Harness {
  OutputHarness() {
    source = Wav("song.wav", Source());
    Open(source);
    for (int64_t m : kMarks) QVERIFY2(form->Marks().Add(m).ok(), "mark");
  }
  // Small blocks with an idle pass after each, so that events land between two blocks.
  void SmallBlocks() {
    OutputOptions options;
    options.blockBytes = 200;
    options.idleInterval = std::chrono::milliseconds(0);
    form->SetOutputOptions(options);
  }
  QString source;
};

}  // namespace

class TForm1OutputTest : public QObject {
  Q_OBJECT

 private slots:
  void commandsWriteTheEnginesBytes_data();
  void commandsWriteTheEnginesBytes();
  void refusalsBeforeTheDialog_data();
  void refusalsBeforeTheDialog();
  void cancelledDialogClosesDevice();
  void lowSpaceQuestion_data();
  void lowSpaceQuestion();
  void abortByPanelDoubleClick();
  void busyGuardWhileCopying();
  void closeWhileCopyingEndsThenCloses();
  void outputOntoSourceRefused();
  void writeFailureShownAndRemoved();
  void progressArrow_data();
  void progressArrow();
};

void TForm1OutputTest::commandsWriteTheEnginesBytes_data() {
  QTest::addColumn<int>("command");
  QTest::addColumn<bool>("keepHead");
  QTest::addColumn<bool>("exact");
  QTest::addColumn<QStringList>("names");
  const QStringList pieces{"out00.wav", "out01.wav", "out02.wav", "out03.wav"};
  QTest::newRow("cut") << int(Command::kCut) << false << false << QStringList{"out.wav"};
  QTest::newRow("cut keep head") << int(Command::kCut) << true << false << QStringList{"out.wav"};
  const QStringList ranges{"out01.wav", "out02.wav"};
  QTest::newRow("split ranges") << int(Command::kSplitRanges) << false << false << ranges;
  QTest::newRow("split ranges keep head") << int(Command::kSplitRanges) << true << false << ranges;
  QTest::newRow("split at marks") << int(Command::kSplitAtMarks) << true << false << pieces;
  QTest::newRow("split at marks exactly") << int(Command::kSplitAtMarks) << false << true << pieces;
}

void TForm1OutputTest::commandsWriteTheEnginesBytes() {
  QFETCH(int, command);
  QFETCH(bool, keepHead);
  QFETCH(bool, exact);
  QFETCH(QStringList, names);
  OutputHarness h;
  TForm1& f = *h.form;
  if (keepHead) f.Menus().N8->trigger();
  if (exact) f.Menus().ExactCut1->trigger();
  QVERIFY(h.device.Open().ok());
  h.device.Play();
  h.prompts.saveAnswers.push_back(QString::fromStdString(h.dir.File("out.wav")));
  Run(f, Command(command));

  QVERIFY(h.prompts.messages.isEmpty());
  QVERIFY(h.prompts.questions.isEmpty());
  QCOMPARE(h.device.Mode(), PlaybackMode::kNotReady);  // closed before the dialog
  QCOMPARE(f.Flags().Busy, false);
  QCOMPARE(f.Flags().StatusHeld, true);
  QCOMPARE(f.Flags().AbortRequested, false);
  QCOMPARE(f.Controls().Panel1->text(), kFinished);
  QCOMPARE(PanelColour(f), kDarkGreen);
  QCOMPARE(f.Marks().Sorted(), kMarks);
  QCOMPARE(f.Marks().Slot(4), qint64{0});  // no implied end among the marks

  const std::vector<std::string> expected = EngineOutputs(f, Command(command), keepHead, exact, h.dir.File("ref.wav"));
  QCOMPARE(int(expected.size()), names.size());
  for (int i = 0; i < names.size(); ++i) {
    const std::vector<uint8_t> bytes = ReadFileBytes(h.dir.File(names[i].toStdString()));
    QCOMPARE(bytes, ReadFileBytes(expected[static_cast<size_t>(i)]));
    QCOMPARE(U32At(bytes, 4), uint32_t(bytes.size() - 8));
    QCOMPARE(U32At(bytes, kDataOffset - 4), uint32_t(bytes.size() - kDataOffset));
  }
}

void TForm1OutputTest::refusalsBeforeTheDialog_data() {
  QTest::addColumn<bool>("busy");
  QTest::addColumn<bool>("marks");
  QTest::addColumn<QString>("message");
  QTest::newRow("busy") << true << true << kBusy;
  QTest::newRow("no marks") << false << false << QStringLiteral("マーク(カットするポイント)指定がなされてしません");
}

void TForm1OutputTest::refusalsBeforeTheDialog() {
  QFETCH(bool, busy);
  QFETCH(bool, marks);
  QFETCH(QString, message);
  for (Command command : {Command::kCut, Command::kSplitRanges, Command::kSplitAtMarks}) {
    OutputHarness h;
    TForm1& f = *h.form;
    if (!marks) f.N2Click();
    f.Flags().Busy = busy ? 1 : 0;
    const int closes = h.device.closes;
    h.prompts.saveAnswers.push_back(QString::fromStdString(h.dir.File("out.wav")));
    Run(f, command);
    QCOMPARE(h.prompts.messages, QStringList{message});
    QCOMPARE(h.prompts.saveAnswers.size(), size_t{1});  // no dialog shown
    QCOMPARE(h.device.closes, closes);
    QCOMPARE(f.Controls().Panel1->text(), QStringLiteral("動作表示"));
    f.Flags().Busy = 0;
  }
}

void TForm1OutputTest::cancelledDialogClosesDevice() {
  OutputHarness h;
  TForm1& f = *h.form;
  QVERIFY(h.device.Open().ok());
  h.device.Play();
  f.N10Click();  // no answer queued: cancelled
  QCOMPARE(h.device.Mode(), PlaybackMode::kNotReady);
  QVERIFY(h.prompts.messages.isEmpty());
  QCOMPARE(f.Flags().StatusHeld, false);
  QCOMPARE(f.Controls().Panel1->text(), QStringLiteral("動作表示"));
}

void TForm1OutputTest::lowSpaceQuestion_data() {
  QTest::addColumn<bool>("yes");
  QTest::newRow("no") << false;
  QTest::newRow("yes") << true;
}

void TForm1OutputTest::lowSpaceQuestion() {
  QFETCH(bool, yes);
  OutputHarness h;
  TForm1& f = *h.form;
  OutputOptions options;
  options.freeBytes = [](const std::string&) { return int64_t{-1}; };  // a failed query
  f.SetOutputOptions(options);
  h.prompts.confirmAnswers.push_back(yes);
  const QString out = QString::fromStdString(h.dir.File("out.wav"));
  h.prompts.saveAnswers.push_back(out);
  f.N3Click();
  QCOMPARE(h.prompts.questions, QStringList{kLowSpace});
  QVERIFY(h.prompts.messages.isEmpty());
  QCOMPARE(QFile::exists(out), yes);
  QCOMPARE(f.Flags().Busy, false);
  QCOMPARE(f.Controls().Panel1->text(), yes ? kFinished : QStringLiteral("動作表示"));
}

// A double-click on Panel1 that arrives after the first 200 bytes: the file is complete with them.
void TForm1OutputTest::abortByPanelDoubleClick() {
  OutputHarness h;
  TForm1& f = *h.form;
  h.SmallBlocks();
  const QString out = QString::fromStdString(h.dir.File("out.wav"));
  h.prompts.saveAnswers.push_back(out);
  const QPointF at(5, 5);
  QCoreApplication::postEvent(f.Controls().Panel1, new QMouseEvent(QEvent::MouseButtonDblClick, at, at, Qt::LeftButton,
                                                                  Qt::LeftButton, Qt::NoModifier));
  f.N3Click();
  QVERIFY(h.prompts.messages.isEmpty());
  const std::vector<uint8_t> bytes = ReadFileBytes(out.toStdString());
  QCOMPARE(bytes.size(), size_t(kDataOffset + 200));
  QCOMPARE(U32At(bytes, 4), uint32_t(kDataOffset + 200 - 8));
  QCOMPARE(U32At(bytes, kDataOffset - 4), uint32_t{200});
  const SndfileInfo info = ReadWithSndfile(out.toStdString());
  QVERIFY(info.opened);
  QCOMPARE(info.frames, int64_t{50});
  // Keep head off: the first range starts at mark 3001, byte 44 + 3000 * 4.
  const std::vector<uint8_t> source = ReadFileBytes(h.source.toStdString());
  QVERIFY(std::equal(bytes.begin() + kDataOffset, bytes.end(), source.begin() + kDataOffset + 12000));
  QCOMPARE(f.Flags().AbortRequested, false);
  QCOMPARE(f.Flags().Busy, false);
  // Not the finished text: the status bar names the file and its share of the 84000 sample bytes
  // of the two ranges.
  QCOMPARE(f.Controls().Panel1->text(), kStopped);
  QCOMPARE(f.Controls().StatusBar1->currentMessage(), QStringLiteral("out.wavは途中まで（0%）です"));
  QCOMPARE(f.Marks().Sorted(), kMarks);

  // Split at marks: the abort leaves piece 00 holding 200 of its 12200 bytes and no later piece.
  h.prompts.saveAnswers.push_back(QString::fromStdString(h.dir.File("piece.wav")));
  QCoreApplication::postEvent(f.Controls().Panel1, new QMouseEvent(QEvent::MouseButtonDblClick, at, at, Qt::LeftButton,
                                                                  Qt::LeftButton, Qt::NoModifier));
  f.N9Click();
  QCOMPARE(ReadFileBytes(h.dir.File("piece00.wav")).size(), size_t(kDataOffset + 200));
  QVERIFY(!QFile::exists(QString::fromStdString(h.dir.File("piece01.wav"))));
  QCOMPARE(f.Controls().Panel1->text(), kStopped);
  QCOMPARE(f.Controls().StatusBar1->currentMessage(), QStringLiteral("piece00.wavは途中まで（1%）です"));
}

// While the copy runs the window processes events: the guarded commands refuse, the panel shows
// the red creating text, and Timer2 draws the arrow from the copy position.
void TForm1OutputTest::busyGuardWhileCopying() {
  OutputHarness h;
  TForm1& f = *h.form;
  h.SmallBlocks();
  h.prompts.saveAnswers.push_back(QString::fromStdString(h.dir.File("out.wav")));
  bool ran = false;
  QTimer::singleShot(0, &f, [&] {
    ran = true;
    QCOMPARE(f.Flags().Busy, true);
    QCOMPARE(f.Flags().StatusHeld, true);
    QCOMPARE(f.Controls().Panel1->text(), kCreating);
    QCOMPARE(PanelColour(f), kRed);
    f.N3Click();
    f.N10Click();
    f.N9Click();
    f.N1Click();
    f.N13Click();
    f.Open1Click();
    f.Panel1DblClick();  // an abort, so the run ends after this block
    f.Timer2Timer();
    const int x = ProgressArrowX(f.Flags().CopyPos, f.File().Header.FileSize);
    QVERIFY(x > 18);
    QVERIFY(view::IsPureRed(f.ProgressBand().Image(), x - kProgressBandLeft, 0));
  });
  f.N3Click();
  QVERIFY(ran);
  QCOMPARE(h.prompts.messages, QStringList(6, kBusy));
  QCOMPARE(h.prompts.openDialogsShown, 1);
  QCOMPARE(f.Flags().Busy, false);
  f.Timer2Timer();  // the arrow goes within a second of the end
  QVERIFY(!view::IsPureRed(f.ProgressBand().Image(), ProgressArrowX(f.Flags().CopyPos, f.File().Header.FileSize) -
                                                         kProgressBandLeft, 0));
}

void TForm1OutputTest::closeWhileCopyingEndsThenCloses() {
  OutputHarness h;
  TForm1& f = *h.form;
  h.SmallBlocks();
  f.show();
  QSignalSpy closed(&f, &TForm1::Closed);
  const QString out = QString::fromStdString(h.dir.File("out.wav"));
  h.prompts.saveAnswers.push_back(out);
  QTimer::singleShot(0, &f, [&] { f.close(); });
  f.N3Click();
  QCOMPARE(closed.count(), 1);
  QVERIFY(!f.isVisible());
  QCOMPARE(ReadFileBytes(out.toStdString()).size(), size_t(kDataOffset + 200));
}

void TForm1OutputTest::outputOntoSourceRefused() {
  OutputHarness h;
  TForm1& f = *h.form;
  const std::vector<uint8_t> before = ReadFileBytes(h.source.toStdString());
  for (Command command : {Command::kCut, Command::kSplitRanges}) {
    h.prompts.messages.clear();
    // For the split the first numbered name is song01.wav; name the source so.
    const QString answer = command == Command::kCut ? h.source : QString::fromStdString(h.dir.File("song"));
    if (command == Command::kSplitRanges) {
      QVERIFY(QFile::link(h.source, QString::fromStdString(h.dir.File("song01.wav"))));
    }
    h.prompts.saveAnswers.push_back(answer);
    Run(f, command);
    const QString named = command == Command::kCut ? h.source : QString::fromStdString(h.dir.File("song01.wav"));
    QCOMPARE(h.prompts.messages, QStringList{QStringLiteral("ファイル %1 を作成できません").arg(named)});
    QCOMPARE(ReadFileBytes(h.source.toStdString()), before);
    QCOMPARE(f.Flags().Busy, false);
    QCOMPARE(f.Marks().Sorted(), kMarks);
    QVERIFY(f.Controls().Panel1->text() != kFinished);
  }
}

void TForm1OutputTest::writeFailureShownAndRemoved() {
  OutputHarness h;
  TForm1& f = *h.form;
  OutputOptions options;
  options.openSink = [](const std::string&) { return std::make_unique<test::FillingSink>(); };
  f.SetOutputOptions(options);
  const QString out = QString::fromStdString(h.dir.File("out.wav"));
  h.prompts.saveAnswers.push_back(out);
  f.N3Click();
  QCOMPARE(h.prompts.messages, QStringList{QStringLiteral("ファイル %1 に書き込めません。").arg(out)});
  QVERIFY(!QFile::exists(out));
  QCOMPARE(f.Flags().Busy, false);
  QCOMPARE(f.Flags().AbortRequested, false);
  QCOMPARE(f.Marks().Sorted(), kMarks);
  QVERIFY(f.Controls().Panel1->text() != kFinished);
}

// CopyPos 0 puts the arrow at x = 18, CopyPos = FileSize at x = 640; the head lines reach x - 2
// and x + 2 at row 44.
void TForm1OutputTest::progressArrow_data() {
  QTest::addColumn<bool>("atEnd");
  QTest::addColumn<int>("x");
  QTest::newRow("start") << false << 18;
  QTest::newRow("end") << true << 640;
}

void TForm1OutputTest::progressArrow() {
  QFETCH(bool, atEnd);
  QFETCH(int, x);
  OutputHarness h;
  TForm1& f = *h.form;
  const QImage& band = f.ProgressBand().Image();
  const QRgb face = band.pixel(0, 0);
  f.Flags().Busy = 1;
  f.Flags().CopyPos = atEnd ? f.File().Header.FileSize : 0;
  f.Timer2Timer();
  auto red = [&](int wx, int wy) { return view::IsPureRed(band, wx - kProgressBandLeft, wy - kProgressBandTop); };
  for (int y = 40; y < 50; ++y) QVERIFY(red(x, y));
  QVERIFY(red(x - 2, 44) && red(x + 2, 44) && red(x - 1, 42) && red(x + 1, 43));
  QVERIFY(!red(x - 2, 45) && !red(x + 2, 45) && !red(x - 1, 40) && !red(x + 3, 44));
  f.Flags().Busy = 0;
  f.Timer2Timer();
  for (int yy = 0; yy < band.height(); ++yy) {
    for (int xx = 0; xx < band.width(); ++xx) QCOMPARE(band.pixel(xx, yy), face);
  }
  QCOMPARE(f.ProgressBand().geometry(), QRect(kProgressBandLeft, kProgressBandTop, 641, 10));
}

QTEST_MAIN(TForm1OutputTest)
#include "TForm1OutputTest.moc"
