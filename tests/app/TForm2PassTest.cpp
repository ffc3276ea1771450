// "開始" on the normalizer window: the pass with the window as its host (outputs, bars, selection,
// settings, the backup question, stopping and the list kept still while a pass runs).
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <chrono>
#include <thread>

#include "TForm2TestSupport.h"
#include "io/OutputFile.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

const QString kNotBits = QStringLiteral("は 8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。");
const QString kBackupQuestion =
    QStringLiteral("「*-orig.wav」があるのでノーマライズできません。「*-orig.wav」を「*.wav」にremaneしますか。");

bool SettingsEnabled(const Form2Controls& c) {
  return c.SpinEdit1->isEnabled() && c.RadioGroup1->isEnabled() && c.CheckBox1->isEnabled() && c.CheckBox2->isEnabled();
}
bool SettingsDisabled(const Form2Controls& c) {
  return !c.SpinEdit1->isEnabled() && !c.RadioGroup1->isEnabled() && !c.CheckBox1->isEnabled() && !c.CheckBox2->isEnabled();
}

// What the window looked like from an event handled in the middle of a pass.
struct SeenDuringPass {
  bool ran = false;
  bool running = false;
  bool settingsDisabled = false;
  bool startDisabled = false;
  bool editsDisabled = false;
  bool stopEnabled = false;
  int selected = -2;
  int entriesAfterEdits = -1;
};

// A 16-bit stereo file of about 3 MB whose samples reach +-16384.
WavRecipe LongRecipe() {
  WavRecipe recipe;
  recipe.frames = 750000;
  recipe.sample = [](int64_t frame, int channel) { return static_cast<int>((frame * 7 + channel * 3) % 32769) - 16384; };
  return recipe;
}

}  // namespace

class TForm2PassTest : public QObject {
  Q_OBJECT

 private slots:
  void passWritesOutputsAndFillsBars();
  void shortFileShowsFullBar();
  void stopsAtFileOfOtherDepth();
  void replaceSwapsNames();
  void backupQuestion_data();
  void backupQuestion();
  void emptyListEnablesSettings();
  void stopDuringPassLeavesNoOutput();
  void closeDuringPassStopsIt();
  void listKeptStillDuringPass();
  void stopClickedWithNoPassIsForgotten();
  void freeSpaceCheck_data();
  void freeSpaceCheck();
  void percentageAndModeReachThePass();
  void linkedChannelsKeepTheBalance();
  void typedPercentageIsShownAndUsed_data();
  void typedPercentageIsShownAndUsed();
};

void TForm2PassTest::passWritesOutputsAndFillsBars() {
  Form2Fixture f;
  const QString a = f.Wav("a.wav", 16, 2, 5000), b = f.Wav("b.wave", 8, 1, 9000);
  f.Add({a, b});
  f.c().SpeedButton4->click();
  QVERIFY(f.prompts.messages.isEmpty());
  QCOMPARE(f.Bytes("a-n.wav").size(), f.Bytes("a.wav").size());
  QCOMPARE(f.Bytes("b-n.wav").size(), f.Bytes("b.wave").size());
  QCOMPARE(f.c().ProgressBar1->maximum(), 2);
  QCOMPARE(f.Bar1(), 2);
  QCOMPARE(f.Bar2(), f.c().ProgressBar2->maximum());  // the file bar ends full
  QCOMPARE(f.c().ProgressBar2->maximum(), 9044 / 2000 - 1);
  QCOMPARE(f.form.ItemIndex(), -1);  // after the last entry nothing is selected
  QVERIFY(SettingsEnabled(f.c()));
  QVERIFY(f.c().SpeedButton4->isEnabled());
  QCOMPARE(f.form.Entries(), QStringList({a, b}));
}

void TForm2PassTest::shortFileShowsFullBar() {
  Form2Fixture f;
  f.Add({f.Wav("tiny.wav", 16, 2, 100)});  // 444 bytes: shorter than one block
  f.form.SetBarPosition(NormalizeBar::kFile, 50);
  f.c().SpeedButton4->click();
  QVERIFY(f.Exists("tiny-n.wav"));
  QVERIFY(f.c().ProgressBar2->maximum() >= 1);
  QCOMPARE(f.Bar2(), f.c().ProgressBar2->maximum());
}

void TForm2PassTest::stopsAtFileOfOtherDepth() {
  Form2Fixture f;
  const QString a = f.Wav("a.wav", 16), deep = f.Wav("deep.wav", 16), c = f.Wav("c.wav", 16);
  f.Add({a, deep, c});
  QCOMPARE(f.form.Entries(), QStringList({a, deep, c}));
  f.Wav("deep.wav", 20);  // rewritten at another depth after it was listed
  f.c().SpeedButton4->click();
  QVERIFY(f.Exists("a-n.wav"));
  QVERIFY(!f.Exists("deep-n.wav"));
  QVERIFY(!f.Exists("c-n.wav"));
  QCOMPARE(f.prompts.messages, QStringList({deep + kNotBits}));
  QCOMPARE(f.c().ProgressBar1->maximum(), 3);
  QCOMPARE(f.Bar1(), 1);
  QCOMPARE(f.form.ItemIndex(), 1);  // the entry the pass stopped at
  QVERIFY(SettingsEnabled(f.c()));
  QVERIFY(f.c().SpeedButton4->isEnabled());
}

void TForm2PassTest::replaceSwapsNames() {
  Form2Fixture f;
  const QString a = f.Wav("a.wav", 16);
  const std::vector<uint8_t> source = f.Bytes("a.wav");
  f.Add({a});
  f.c().CheckBox1->setChecked(false);
  f.c().SpeedButton4->click();
  QVERIFY(f.prompts.questions.isEmpty());
  QCOMPARE(f.Bytes("a-orig.wav"), source);
  QVERIFY(!f.Exists("a-n.wav"));
  QCOMPARE(f.Bytes("a.wav").size(), source.size());
  QVERIFY(f.Bytes("a.wav") != source);
}

void TForm2PassTest::backupQuestion_data() {
  QTest::addColumn<bool>("yes");
  QTest::newRow("Yes restores") << true;
  QTest::newRow("No leaves all") << false;
}

void TForm2PassTest::backupQuestion() {
  QFETCH(bool, yes);
  Form2Fixture f;
  f.Add({f.Wav("a.wav", 16), f.Wav("b.wav", 16)});
  const std::vector<uint8_t> sourceA = f.Bytes("a.wav");
  f.c().CheckBox1->setChecked(false);
  f.c().SpeedButton4->click();
  const std::vector<uint8_t> normalizedA = f.Bytes("a.wav");
  const std::string before = f.dir.Listing();

  f.prompts.confirmAnswers.push_back(yes);
  f.c().SpeedButton4->click();
  QCOMPARE(f.prompts.questions, QStringList({kBackupQuestion}));
  QCOMPARE(f.Bar1(), 0);
  QCOMPARE(f.Bar2(), 0);
  QVERIFY(SettingsEnabled(f.c()));
  QVERIFY(f.c().SpeedButton4->isEnabled());
  if (yes) {
    QVERIFY(!f.Exists("a-orig.wav"));
    QVERIFY(!f.Exists("b-orig.wav"));
    QCOMPARE(f.Bytes("a.wav"), sourceA);
    // A further click normalizes again.
    f.c().SpeedButton4->click();
    QCOMPARE(f.prompts.questions.size(), 1);
    QCOMPARE(f.Bytes("a.wav"), normalizedA);
    QCOMPARE(f.Bytes("a-orig.wav"), sourceA);
  } else {
    QCOMPARE(f.dir.Listing(), before);
    QCOMPARE(f.Bytes("a.wav"), normalizedA);
    QCOMPARE(f.Bytes("a-orig.wav"), sourceA);
  }
  // With "File名変更" ticked backups are not looked for.
  f.c().CheckBox1->setChecked(true);
  f.c().SpeedButton4->click();
  QCOMPARE(f.prompts.questions.size(), 1);
  QVERIFY(f.Exists("a-n.wav"));
}

void TForm2PassTest::emptyListEnablesSettings() {
  Form2Fixture f;
  f.form.SetSettingsEnabled(false);
  f.c().SpeedButton4->click();
  QVERIFY(SettingsEnabled(f.c()));
  QVERIFY(f.prompts.messages.isEmpty());
  QCOMPARE(f.dir.Listing(), std::string());
}

void TForm2PassTest::stopDuringPassLeavesNoOutput() {
  Form2Fixture f;
  f.Add({f.WavOf("long.wav", LongRecipe()), f.Wav("next.wav", 16)});
  UseSlowSinks(f.form);
  SeenDuringPass seen;
  // Queued now, handled when the pass lets the window process its events.
  QTimer::singleShot(0, &f.form, [&] {
    seen.ran = true;
    seen.running = f.form.Pass().Running();
    seen.settingsDisabled = SettingsDisabled(f.c());
    seen.selected = f.form.ItemIndex();
    f.c().SpeedButton7->click();
  });
  f.c().SpeedButton4->click();
  QVERIFY(seen.ran);
  QVERIFY(seen.running);
  QVERIFY(seen.settingsDisabled);
  QCOMPARE(seen.selected, 0);  // the entry being normalized
  QCOMPARE(f.dir.Listing(), std::string("long.wav next.wav"));  // nothing incomplete stays
  QCOMPARE(f.Bar1(), 0);
  QCOMPARE(f.Bar2(), 0);
  QVERIFY(SettingsEnabled(f.c()));
  QVERIFY(f.c().SpeedButton4->isEnabled());
  QVERIFY(f.prompts.messages.isEmpty());
}

// 閉じる while a pass writes: the window hides and the pass stops there, leaving nothing behind.
void TForm2PassTest::closeDuringPassStopsIt() {
  Form2Fixture f;
  f.form.show();
  f.Add({f.WavOf("long.wav", LongRecipe()), f.Wav("next.wav", 16)});
  UseSlowSinks(f.form);
  bool running = false;
  QTimer::singleShot(0, &f.form, [&] {
    running = f.form.Pass().Running();
    f.c().SpeedButton8->click();
  });
  f.c().SpeedButton4->click();
  QVERIFY(running);
  QVERIFY(!f.form.isVisible());
  QCOMPARE(f.dir.Listing(), std::string("long.wav next.wav"));
}

void TForm2PassTest::listKeptStillDuringPass() {
  Harness h;  // with the main window, which must stay usable too
  TForm2& form = *h.form2;
  const Form2Controls& c = form.Controls();
  const QString a = h.Wav("a.wav", LongRecipe()), b = h.Wav("b.wav", WavRecipe{});
  h.prompts.openManyAnswers.push_back({a, b});
  form.SpeedButton1Click();
  UseSlowSinks(form);
  h.prompts.openManyAnswers.push_back({h.Wav("c.wav", WavRecipe{})});
  SeenDuringPass seen;
  bool mainWindowServed = false;
  QTimer::singleShot(0, h.form.get(), [&] { mainWindowServed = true; });
  QTimer::singleShot(0, &form, [&] {
    seen.ran = true;
    seen.startDisabled = !c.SpeedButton4->isEnabled();
    seen.editsDisabled = !c.SpeedButton1->isEnabled() && !c.SpeedButton2->isEnabled() && !c.SpeedButton3->isEnabled() &&
                         !c.SpeedButton5->isEnabled() && !c.SpeedButton6->isEnabled();
    seen.stopEnabled = c.SpeedButton7->isEnabled();
    // The handlers themselves refuse too, and a second start does nothing.
    form.SpeedButton1Click();
    form.SelectEntry(0);
    form.SpeedButton6Click();
    form.SpeedButton2Click();
    form.SpeedButton3Click();
    form.SpeedButton4Click();
    seen.entriesAfterEdits = static_cast<int>(form.Entries().size());
  });
  form.SpeedButton4Click();
  QVERIFY(seen.ran);
  QVERIFY(mainWindowServed);
  QVERIFY(seen.startDisabled);
  QVERIFY(seen.editsDisabled);
  QVERIFY(seen.stopEnabled);
  QCOMPARE(seen.entriesAfterEdits, 2);
  QCOMPARE(h.prompts.openDialogsShown, 1);  // the refused add showed no dialog
  QVERIFY(h.prompts.messages.isEmpty());
  QCOMPARE(form.Entries(), QStringList({a, b}));
  QCOMPARE(form.ItemIndex(), -1);
  QCOMPARE(QString::fromStdString(h.dir.Listing()), QStringLiteral("a-n.wav a.wav b-n.wav b.wav c.wav"));
  for (QToolButton* button :
       {c.SpeedButton1, c.SpeedButton5, c.SpeedButton6, c.SpeedButton2, c.SpeedButton3, c.SpeedButton4}) {
    QVERIFY(button->isEnabled());
  }
}

void TForm2PassTest::stopClickedWithNoPassIsForgotten() {
  Form2Fixture f;
  f.Add({f.Wav("a.wav", 16)});
  f.c().SpeedButton7->click();
  QVERIFY(f.form.StopRequested());
  f.c().SpeedButton4->click();
  QVERIFY(!f.form.StopRequested());
  QVERIFY(f.Exists("a-n.wav"));
  QCOMPARE(f.Bar1(), 1);
}

void TForm2PassTest::freeSpaceCheck_data() {
  QTest::addColumn<int64_t>("spare");  // free bytes minus the file's size
  QTest::addColumn<bool>("written");
  QTest::newRow("exactly the size is enough") << int64_t{0} << true;
  QTest::newRow("one byte short stops") << int64_t{-1} << false;
}

void TForm2PassTest::freeSpaceCheck() {
  QFETCH(int64_t, spare);
  QFETCH(bool, written);
  Form2Fixture f;
  const QString a = f.Wav("a.wav", 16);
  const auto size = static_cast<int64_t>(f.Bytes("a.wav").size());
  f.form.Pass().SetFreeSpaceQuery([size, spare](const std::string&) { return size + spare; });
  f.Add({a});
  f.c().SpeedButton4->click();
  QCOMPARE(f.Exists("a-n.wav"), written);
  QCOMPARE(f.prompts.messages,
           written ? QStringList() : QStringList({QStringLiteral("ディスクの空き容量が不足しています。処理を中止します。")}));
  QCOMPARE(f.Bar1(), written ? 1 : 0);
  QVERIFY(SettingsEnabled(f.c()));
}

void TForm2PassTest::percentageAndModeReachThePass() {
  // Peak 16384 at 80 %: sample 16384 gives 26213; at 150 % it is clamped to 32767.
  WavRecipe recipe;
  recipe.channels = 1;
  recipe.frames = 4;
  recipe.sample = [](int64_t frame, int) { return frame == 0 ? 16384 : 0; };
  for (const auto& [percent, expected] : {std::pair{80, 26213}, std::pair{150, 32767}}) {
    Form2Fixture f;
    f.Add({f.WavOf("p.wav", recipe)});
    f.c().SpinEdit1->setValue(percent);
    f.c().SpeedButton4->click();
    const std::vector<uint8_t> out = f.Bytes("p-n.wav");
    QCOMPARE(static_cast<int16_t>(out[44] | (out[45] << 8)), static_cast<int16_t>(expected));
  }
  // A box that holds no whole number starts no pass.
  {
    Form2Fixture f;
    f.Add({f.WavOf("p.wav", recipe)});
    f.c().SpinEdit1->findChild<QLineEdit*>()->clear();
    f.c().SpeedButton4->click();
    QVERIFY(!f.Exists("p-n.wav"));
  }
  // Average mode goes through the radio group.
  Form2Fixture f;
  WavRecipe flat;
  flat.channels = 1;
  flat.frames = 6000;
  flat.sample = [](int64_t frame, int) { return frame % 2 == 0 ? 1000 : -1000; };
  f.Add({f.WavOf("avg.wav", flat)});
  f.c().RadioGroup1Items->button(1)->click();
  f.c().SpeedButton4->click();
  // 12044 bytes: average 750, so 1000 gives 5825 and -1000 gives -5826.
  const std::vector<uint8_t> out = f.Bytes("avg-n.wav");
  QCOMPARE(out.size(), size_t{12044});
  QCOMPARE(static_cast<int16_t>(out[44] | (out[45] << 8)), int16_t{5825});
  QCOMPARE(static_cast<int16_t>(out[46] | (out[47] << 8)), int16_t{-5826});
}

void TForm2PassTest::linkedChannelsKeepTheBalance() {
  // L 16384 / R 8192: each channel to full scale, or with "チャンネル連動" both by the left's gain.
  WavRecipe recipe;
  recipe.frames = 4;
  recipe.sample = [](int64_t frame, int channel) { return frame == 0 ? 16384 >> channel : 0; };
  for (const auto& [linked, right] : {std::pair{false, 32767}, std::pair{true, 16383}}) {
    Form2Fixture f;
    f.Add({f.WavOf("s.wav", recipe)});
    f.c().CheckBox2->setChecked(linked);
    f.c().SpeedButton4->click();
    const std::vector<uint8_t> out = f.Bytes("s-n.wav");
    QCOMPARE(static_cast<int16_t>(out[44] | (out[45] << 8)), int16_t{32767});
    QCOMPARE(static_cast<int16_t>(out[46] | (out[47] << 8)), static_cast<int16_t>(right));
  }
}

void TForm2PassTest::typedPercentageIsShownAndUsed_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<int>("used");  // what the box shows once the pass starts, and what it uses; 0: refused
  QTest::newRow("in range") << "15" << 15;
  QTest::newRow("above 150") << "151" << 150;
  QTest::newRow("far above") << "99999999999" << 150;
  QTest::newRow("zero") << "0" << 1;
  QTest::newRow("negative") << "-7" << 1;
  QTest::newRow("letters") << "abc" << 0;
  QTest::newRow("letter and number") << "x7" << 0;
  QTest::newRow("number and letter") << "12x" << 0;
  QTest::newRow("empty") << "" << 0;
}

void TForm2PassTest::typedPercentageIsShownAndUsed() {
  QFETCH(QString, typed);
  QFETCH(int, used);
  // Peak 32767, so the second sample 20000 comes out as 20000 x p %.
  WavRecipe recipe;
  recipe.channels = 1;
  recipe.frames = 4;
  recipe.sample = [](int64_t frame, int) { return frame == 0 ? 32767 : 20000; };
  Form2Fixture f;
  f.Add({f.WavOf("p.wav", recipe)});
  f.form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f.form));
  QSpinBox* box = f.c().SpinEdit1;
  auto* edit = box->findChild<QLineEdit*>();
  box->setFocus();
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(box, Qt::Key_Backspace);
  QTest::keyClicks(box, typed);
  QCOMPARE(edit->text(), typed);  // every keystroke taken

  f.c().SpeedButton4->click();
  if (used == 0) {
    QCOMPARE(f.prompts.messages, QStringList{QStringLiteral("パーセントは1から150の整数で指定して下さい。")});
    QCOMPARE(edit->text(), typed);
    QCOMPARE(QString::fromStdString(f.dir.Listing()), QStringLiteral("p.wav"));
    return;
  }
  QVERIFY(f.prompts.messages.isEmpty());
  QCOMPARE(edit->text(), QString::number(used));
  QCOMPARE(box->value(), used);
  const std::vector<uint8_t> out = f.Bytes("p-n.wav");
  const int scaled = static_cast<int16_t>(out[46] | (out[47] << 8));
  QVERIFY2(std::abs(scaled - 200 * used) <= 1, qPrintable(QString::number(scaled)));
}

QTEST_MAIN(TForm2PassTest)
#include "TForm2PassTest.moc"
