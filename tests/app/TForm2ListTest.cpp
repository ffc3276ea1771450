// The normalizer's list: adding with its two checks, moving the selection, deleting, the bars'
// resets, the mode's reset of the percentage and the percentage box's own corrections.
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

#include "TForm2TestSupport.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

const QString kNotBits = QStringLiteral("は 8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。");
const QString kListed = QStringLiteral("は既に登録されています。追加できません。");

}  // namespace

class TForm2ListTest : public QObject {
  Q_OBJECT

 private slots:
  void addListsInDialogOrderAndSelectsLast();
  void addCancelledChangesNothing();
  void addDuplicateKeepsOneEntry();
  void addLeavesOutRefusedFilesInOneMessage();
  void addsAndNormalizesWideFiles();
  void otherDepthIsNeverListed();
  void addUnopenableFileLeftOut();
  void moveEntry_data();
  void moveEntry();
  void deleteSelects_data();
  void deleteSelects();
  void deleteAllAndListClickResetBars();
  void modeResetsPercentage_data();
  void modeResetsPercentage();
  void percentageBoxCorrectsOnArrowAndFocusLoss_data();
  void percentageBoxCorrectsOnArrowAndFocusLoss();
};

void TForm2ListTest::addListsInDialogOrderAndSelectsLast() {
  Form2Fixture f;
  const QString a = f.Wav("a.wav", 16, 2), b = f.Wav("b.wav", 8, 1), c = f.Wav("c.wave", 16, 1);
  f.c().SpeedButton1->click();  // the button runs the dialog
  QCOMPARE(f.prompts.openDialogsShown, 1);
  f.Add({b, a, c});
  QCOMPARE(f.form.Entries(), QStringList({b, a, c}));
  QCOMPARE(f.form.ItemIndex(), 2);
  QVERIFY(f.prompts.messages.isEmpty());
}

void TForm2ListTest::addCancelledChangesNothing() {
  Form2Fixture f;
  const QString a = f.Wav("a.wav", 16);
  f.Add({a});
  f.form.SelectEntry(-1);
  f.Add({});
  QCOMPARE(f.form.Entries(), QStringList({a}));
  QCOMPARE(f.form.ItemIndex(), -1);
  QVERIFY(f.prompts.messages.isEmpty());
}

void TForm2ListTest::addDuplicateKeepsOneEntry() {
  Form2Fixture f;
  const QString a = f.Wav("a.wav", 16), b = f.Wav("b.wav", 16);
  f.Add({a, b});
  f.form.SelectEntry(0);
  f.Add({a});
  QCOMPARE(f.form.Entries(), QStringList({a, b}));
  QCOMPARE(f.prompts.messages, QStringList({a + kListed}));
  QCOMPARE(f.form.ItemIndex(), 1);  // the last entry is selected afterwards
  // Entries compare as exact, case-sensitive strings: another spelling is another entry.
  const QString upper = f.Wav("A.wav", 16);
  f.Add({upper});
  QCOMPARE(f.form.Entries().size(), 3);
}

// Every acceptable file is added, in the dialog's order; one message names each refused file with
// its reason, in the order chosen; the last entry is selected.
void TForm2ListTest::addLeavesOutRefusedFilesInOneMessage() {
  Form2Fixture f;
  const QString first = f.Wav("first.wav", 16);
  f.Add({first});
  f.form.SelectEntry(0);
  const QString a = f.Wav("a.wav", 16), deep = f.Wav("deep.wav", 20), c = f.Wav("c.wav", 8);
  const QString gone = QString::fromStdString(f.dir.File("gone.wav"));
  f.Add({a, deep, first, gone, c});
  QCOMPARE(f.form.Entries(), QStringList({first, a, c}));
  QCOMPARE(f.prompts.messages, QStringList{deep + kNotBits + "\n" + first + kListed + "\n" +
                                           QStringLiteral("ファイル %1 は開けません").arg(gone)});
  QCOMPARE(f.form.ItemIndex(), 2);
}

void TForm2ListTest::addsAndNormalizesWideFiles() {
  Form2Fixture f;
  WavRecipe deep;
  deep.bits = 24;
  deep.extensible = true;
  WavRecipe floats;
  floats.bits = 32;
  floats.formatTag = 3;
  const QString a = f.WavOf("a.wav", deep), b = f.Wav("b.wav", 32, 1), c = f.WavOf("c.wav", floats);
  f.Add({a, b, c});
  QCOMPARE(f.form.Entries(), QStringList({a, b, c}));
  QVERIFY(f.prompts.messages.isEmpty());
  f.c().SpeedButton4->click();
  QVERIFY(f.prompts.messages.isEmpty());
  QVERIFY(f.Exists("a-n.wav") && f.Exists("b-n.wav") && f.Exists("c-n.wav"));
  QCOMPARE(f.Bar1(), 3);
}

void TForm2ListTest::otherDepthIsNeverListed() {
  Form2Fixture f;
  const QString deep = f.Wav("deep.wav", 20);
  f.Add({deep});
  f.Add({deep});
  // The bit test refuses it each time; it is never listed, so never a duplicate.
  QVERIFY(f.form.Entries().isEmpty());
  QCOMPARE(f.prompts.messages, QStringList({deep + kNotBits, deep + kNotBits}));
  QCOMPARE(f.form.ItemIndex(), -1);
}

void TForm2ListTest::addUnopenableFileLeftOut() {
  Form2Fixture f;
  const QString gone = QString::fromStdString(f.dir.File("gone.wav"));
  const QString b = f.Wav("b.wav", 16);
  f.Add({gone, b});
  QCOMPARE(f.form.Entries(), QStringList({b}));
  QCOMPARE(f.prompts.messages, QStringList({QStringLiteral("ファイル %1 は開けません").arg(gone)}));
}

void TForm2ListTest::moveEntry_data() {
  QTest::addColumn<int>("entries");
  QTest::addColumn<int>("selected");  // -1: nothing selected
  QTest::addColumn<bool>("down");
  QTest::addColumn<int>("expected");
  QTest::addColumn<QString>("order");  // the files' numbers in list order afterwards
  QTest::newRow("up from the middle") << 3 << 1 << false << 0 << "102";
  QTest::newRow("up from the last") << 3 << 2 << false << 1 << "021";
  QTest::newRow("up at the first stays") << 3 << 0 << false << 0 << "012";
  QTest::newRow("up with nothing selected") << 3 << -1 << false << -1 << "012";
  QTest::newRow("down from the middle") << 3 << 1 << true << 2 << "021";
  QTest::newRow("down from the first") << 3 << 0 << true << 1 << "102";
  QTest::newRow("down at the last stays") << 3 << 2 << true << 2 << "012";
  QTest::newRow("down with nothing selected") << 3 << -1 << true << 0 << "012";
  QTest::newRow("down on an empty list") << 0 << -1 << true << -1 << "";
  QTest::newRow("up on an empty list") << 0 << -1 << false << -1 << "";
}

// The selected entry moves with the selection; the pass then takes the list in its new order.
void TForm2ListTest::moveEntry() {
  QFETCH(int, entries);
  QFETCH(int, selected);
  QFETCH(bool, down);
  QFETCH(int, expected);
  QFETCH(QString, order);
  Form2Fixture f;
  QStringList paths;
  for (int i = 0; i < entries; ++i) paths << f.Wav("f" + std::to_string(i) + ".wav", 16);
  if (entries > 0) f.Add(paths);
  f.form.SelectEntry(selected);
  (down ? f.c().SpeedButton6 : f.c().SpeedButton5)->click();
  QCOMPARE(f.form.ItemIndex(), expected);
  QString listed;
  for (const QString& entry : f.form.Entries()) listed += QFileInfo(entry).completeBaseName().mid(1);
  QCOMPARE(listed, order);
}

void TForm2ListTest::deleteSelects_data() {
  QTest::addColumn<int>("selected");
  QTest::addColumn<QStringList>("left");
  QTest::addColumn<int>("expected");
  QTest::newRow("the last: the new last") << 2 << QStringList({"a", "b"}) << 1;
  QTest::newRow("the first: the one moved up") << 0 << QStringList({"b", "c"}) << 0;
  QTest::newRow("the middle: the one moved up") << 1 << QStringList({"a", "c"}) << 1;
  QTest::newRow("nothing selected: nothing removed") << -1 << QStringList({"a", "b", "c"}) << -1;
}

void TForm2ListTest::deleteSelects() {
  QFETCH(int, selected);
  QFETCH(QStringList, left);
  QFETCH(int, expected);
  Form2Fixture f;
  f.Add({f.Wav("a.wav", 16), f.Wav("b.wav", 16), f.Wav("c.wav", 16)});
  f.form.SelectEntry(selected);
  f.c().SpeedButton2->click();
  QStringList names;
  for (const QString& entry : f.form.Entries()) names << QFileInfo(entry).completeBaseName();
  QCOMPARE(names, left);
  QCOMPARE(f.form.ItemIndex(), expected);
}

void TForm2ListTest::deleteAllAndListClickResetBars() {
  Form2Fixture f;
  f.Add({f.Wav("a.wav", 16), f.Wav("b.wav", 16)});
  f.form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f.form));
  f.form.SetBarMaximum(NormalizeBar::kWhole, 2);
  f.form.SetBarPosition(NormalizeBar::kWhole, 1);
  f.form.SetBarPosition(NormalizeBar::kFile, 60);
  // A click on an entry of the list.
  QListWidget* list = f.c().ListBox1;
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
  QCOMPARE(f.Bar1(), 0);
  QCOMPARE(f.Bar2(), 0);
  QCOMPARE(f.form.ItemIndex(), 0);

  f.form.SetBarPosition(NormalizeBar::kWhole, 2);
  f.form.SetBarPosition(NormalizeBar::kFile, 70);
  f.c().SpeedButton3->click();
  QCOMPARE(f.c().ListBox1->count(), 0);
  QCOMPARE(f.Bar1(), 0);
  QCOMPARE(f.Bar2(), 0);
}

void TForm2ListTest::modeResetsPercentage_data() {
  QTest::addColumn<int>("picked");
  QTest::newRow("平均値") << 1;
  QTest::newRow("最大値") << 0;
}

void TForm2ListTest::modeResetsPercentage() {
  QFETCH(int, picked);
  Form2Fixture f;
  f.c().RadioGroup1Items->button(1 - picked)->click();
  f.c().SpinEdit1->setValue(120);
  f.c().RadioGroup1Items->button(picked)->click();
  QCOMPARE(f.c().RadioGroup1Items->checkedId(), picked);
  QCOMPARE(f.c().SpinEdit1->value(), 100);
}

void TForm2ListTest::percentageBoxCorrectsOnArrowAndFocusLoss_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<int>("key");  // Qt::Key_Up, Qt::Key_Down, or 0 for the focus moving away
  QTest::addColumn<QString>("shown");
  QTest::newRow("up steps a number in range") << "20" << int(Qt::Key_Up) << "21";
  QTest::newRow("down steps a number in range") << "20" << int(Qt::Key_Down) << "19";
  QTest::newRow("up corrects without stepping") << "151" << int(Qt::Key_Up) << "150";
  QTest::newRow("down on letters gives the minimum") << "abc" << int(Qt::Key_Down) << "1";
  QTest::newRow("focus lost above the range") << "400" << 0 << "150";
  QTest::newRow("focus lost on zero") << "0" << 0 << "1";
}

void TForm2ListTest::percentageBoxCorrectsOnArrowAndFocusLoss() {
  QFETCH(QString, typed);
  QFETCH(int, key);
  QFETCH(QString, shown);
  Form2Fixture f;
  f.form.show();
  f.form.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&f.form));
  QSpinBox* box = f.c().SpinEdit1;
  box->setFocus();
  QVERIFY(box->hasFocus());
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(box, typed);
  if (key != 0) {
    QTest::keyClick(box, static_cast<Qt::Key>(key));
  } else {
    f.c().CheckBox1->setFocus();
    QVERIFY(!box->hasFocus());
  }
  QCOMPARE(box->findChild<QLineEdit*>()->text(), shown);
  QCOMPARE(box->value(), shown.toInt());
}

QTEST_MAIN(TForm2ListTest)
#include "TForm2ListTest.moc"
