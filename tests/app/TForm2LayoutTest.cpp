// The normalizer window as laid out at start, its texts shown whole on screen, its centring and
// its hiding with everything kept.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

#include "TForm2TestSupport.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

// The smallest rectangle of area holding every pixel of image that differs from paper.
QRect InkBox(const QImage& image, const QRect& area, const QColor& paper) {
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y) != paper) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

}  // namespace

class TForm2LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void windowFrame();
  void controlPlaces_data();
  void controlPlaces();
  void buttonsAndHints_data();
  void buttonsAndHints();
  void groupsAndColours();
  void startState();
  void listRowsShowWholeEntries();
  void checkBoxCaptionShownWhole();
  void shownCentredFromMainWindow();
  void closeHidesKeepingEverything();
};

void TForm2LayoutTest::windowFrame() {
  Form2Fixture f;
  QCOMPARE(f.form.windowTitle(), QStringLiteral("ノーマライズ"));
  QCOMPARE(f.form.metaObject()->className(), "sonaveld::TForm2");
  QCOMPARE(f.form.size(), QSize(522, 508));  // grown by a row for "チャンネル連動" and the loudness group
  QCOMPARE(f.form.minimumSize(), f.form.maximumSize());
  QVERIFY(!(f.form.windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(f.form.windowFlags() & Qt::WindowMinimizeButtonHint);
  QVERIFY(f.form.windowFlags() & Qt::WindowSystemMenuHint);
  QCOMPARE(f.form.palette().color(QPalette::Window), f.form.palette().color(QPalette::Button));
  QCOMPARE(f.form.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
  QCOMPARE(f.form.font().pixelSize(), 12);
}

void TForm2LayoutTest::controlPlaces_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("place");  // relative to its parent (the group box for the bars)
  QTest::newRow("ListBox1") << "ListBox1" << QRect(16, 16, 489, 249);
  QTest::newRow("SpeedButton1") << "SpeedButton1" << QRect(16, 280, 57, 22);
  QTest::newRow("SpeedButton5") << "SpeedButton5" << QRect(88, 280, 57, 22);
  QTest::newRow("SpeedButton6") << "SpeedButton6" << QRect(160, 280, 57, 22);
  QTest::newRow("SpeedButton2") << "SpeedButton2" << QRect(232, 280, 57, 22);
  QTest::newRow("SpeedButton3") << "SpeedButton3" << QRect(304, 280, 57, 22);
  QTest::newRow("SpeedButton4") << "SpeedButton4" << QRect(376, 280, 57, 22);
  QTest::newRow("SpeedButton7") << "SpeedButton7" << QRect(448, 280, 57, 22);
  QTest::newRow("SpeedButton8") << "SpeedButton8" << QRect(448, 344, 57, 22);
  QTest::newRow("RadioGroup1") << "RadioGroup1" << QRect(16, 320, 169, 65);
  QTest::newRow("SpinEdit1") << "SpinEdit1" << QRect(96, 336, 49, 21);
  QTest::newRow("CheckBox1") << "CheckBox1" << QRect(96, 360, 73, 17);
  QTest::newRow("GroupBox1") << "GroupBox1" << QRect(204, 320, 225, 65);
  QTest::newRow("ProgressBar1") << "ProgressBar1" << QRect(59, 17, 150, 16);
  QTest::newRow("ProgressBar2") << "ProgressBar2" << QRect(59, 41, 150, 16);
}

void TForm2LayoutTest::controlPlaces() {
  QFETCH(QString, name);
  QFETCH(QRect, place);
  Form2Fixture f;
  auto* widget = f.form.findChild<QWidget*>(name);
  QVERIFY2(widget != nullptr, qPrintable(name));
  if (name == QLatin1String("CheckBox1")) {  // wider where its caption needs it (checked on pixels)
    QCOMPARE(widget->geometry().topLeft(), place.topLeft());
    QCOMPARE(widget->height(), place.height());
    QVERIFY(widget->width() >= place.width());
  } else {
    QCOMPARE(widget->geometry(), place);
  }
  // Every control is visible on screen: the settings sit above the radio group, not under it.
  if (name == QLatin1String("RadioGroup1")) return;  // its right part lies under them
  f.form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f.form));
  const QPoint centre = widget->mapTo(&f.form, widget->rect().center());
  QWidget* top = f.form.childAt(centre);
  QVERIFY2(top == widget || widget->isAncestorOf(top), qPrintable(name));
}

void TForm2LayoutTest::buttonsAndHints_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("hint");
  QTest::newRow("SpeedButton1") << "SpeedButton1" << "追加" << "";
  QTest::newRow("SpeedButton5") << "SpeedButton5" << "上へ" << "";
  QTest::newRow("SpeedButton6") << "SpeedButton6" << "下へ" << "";
  QTest::newRow("SpeedButton2") << "SpeedButton2" << "削除" << "";
  QTest::newRow("SpeedButton3") << "SpeedButton3" << "全削除" << "";
  QTest::newRow("SpeedButton4") << "SpeedButton4" << "開始" << "同じフォルダにノーマライズしたファイルが作成されます。";
  QTest::newRow("SpeedButton7") << "SpeedButton7" << "中止" << "";
  QTest::newRow("SpeedButton8") << "SpeedButton8" << "閉じる" << "";
  QTest::newRow("CheckBox1") << "CheckBox1" << "File名変更"
                             << "チェックがあるとノーマライズしたファイルの名前に「-n」がつきます。"
                                "チェックがないとオリジナルファイルに「-orgi」とつきます。";
}

void TForm2LayoutTest::buttonsAndHints() {
  QFETCH(QString, name);
  QFETCH(QString, text);
  QFETCH(QString, hint);
  Form2Fixture f;
  auto* button = f.form.findChild<QAbstractButton*>(name);
  QVERIFY2(button != nullptr, qPrintable(name));
  QCOMPARE(button->text(), text);
  QCOMPARE(button->toolTip(), hint);
  if (auto* flat = qobject_cast<QToolButton*>(button)) QVERIFY(flat->autoRaise());
}

void TForm2LayoutTest::groupsAndColours() {
  Form2Fixture f;
  const Form2Controls& c = f.c();
  QCOMPARE(c.RadioGroup1->title(), QStringLiteral("ノーマライズ設定"));
  QCOMPARE(c.RadioGroup1Items->button(0)->text(), QStringLiteral("最大値"));
  QCOMPARE(c.RadioGroup1Items->button(1)->text(), QStringLiteral("平均値"));
  QCOMPARE(c.GroupBox1->title(), QStringLiteral("ノーマライズ処理状況"));
  QCOMPARE(c.Label1->parentWidget(), c.GroupBox1);
  QCOMPARE(c.Label1->text(), QStringLiteral("全体"));
  QCOMPARE(c.Label1->pos(), QPoint(16, 21));
  QCOMPARE(c.Label2->text(), QStringLiteral("ファイル"));
  QCOMPARE(c.Label2->pos(), QPoint(8, 45));
  for (QLabel* label : {c.Label1, c.Label2}) {
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 128, 128));
  }
  QCOMPARE(c.SpeedButton7->palette().color(QPalette::ButtonText), QColor(255, 0, 255));
  // The stop button's caption paints in fuchsia, where the button face has none.
  f.form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f.form));
  const QImage shown = c.SpeedButton7->grab().toImage();
  bool fuchsia = false;
  for (int y = 0; y < shown.height() && !fuchsia; ++y) {
    for (int x = 0; x < shown.width() && !fuchsia; ++x) {
      const QColor pixel(shown.pixel(x, y));  // smoothed glyph edges: near fuchsia counts
      fuchsia = pixel.red() >= 224 && pixel.blue() >= 224 && pixel.green() <= 64;
    }
  }
  QVERIFY(fuchsia);
}

void TForm2LayoutTest::startState() {
  Form2Fixture f;
  const Form2Controls& c = f.c();
  QCOMPARE(c.ListBox1->count(), 0);
  QCOMPARE(c.RadioGroup1Items->checkedId(), 0);
  QCOMPARE(c.SpinEdit1->value(), 100);
  QCOMPARE(c.SpinEdit1->minimum(), 1);
  QCOMPARE(c.SpinEdit1->maximum(), 150);
  QVERIFY(c.CheckBox1->isChecked());
  QVERIFY(!c.CheckBox2->isChecked());
  QCOMPARE(c.CheckBox2->text(), QStringLiteral("チャンネル連動"));
  QCOMPARE(c.CheckBox2->pos(), QPoint(16, 396));
  for (QProgressBar* bar : {c.ProgressBar1, c.ProgressBar2}) {
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->value(), 0);
  }
  QVERIFY(c.SpinEdit1->isEnabled() && c.RadioGroup1->isEnabled() && c.CheckBox1->isEnabled());
  QVERIFY(!f.form.StopRequested());
  QVERIFY(f.form.isHidden());
}

void TForm2LayoutTest::listRowsShowWholeEntries() {
  // An underscore lies below the baseline with the descenders; a row too low cuts it away.
  Form2Fixture f;
  const QString path = f.Wav("e1_peak16384.wav", 16);
  f.Add({path});
  f.form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f.form));
  QListWidget* list = f.c().ListBox1;
  list->clearFocus();
  f.form.SelectEntry(-1);  // no highlight, no current-item frame
  const QColor paper = list->palette().color(QPalette::Base);
  const QImage shown = list->viewport()->grab().toImage();

  // The same text drawn by hand with room on every side.
  const QFontMetrics metrics(list->font());
  QImage free(metrics.horizontalAdvance(path) + 20, 3 * metrics.height(), QImage::Format_RGB32);
  free.fill(paper);
  QPainter painter(&free);
  painter.setFont(list->font());
  painter.setPen(list->palette().color(QPalette::Text));
  painter.drawText(10, 2 * metrics.height(), path);
  painter.end();
  const QRect whole = InkBox(free, free.rect(), paper);

  const QRect row = list->visualItemRect(list->item(0));
  const QRect drawn = InkBox(shown, row, paper);
  QCOMPARE(drawn.size(), whole.size());  // the lowest row of ink: the underscore and descenders
}

void TForm2LayoutTest::checkBoxCaptionShownWhole() {
  Form2Fixture f;
  f.form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f.form));
  QCheckBox* box = f.c().CheckBox1;
  box->clearFocus();
  // The same check box with room to spare shows the caption whole.
  QCheckBox roomy(box->text(), &f.form);
  roomy.setChecked(box->isChecked());
  roomy.setGeometry(0, 0, 400, box->height());
  roomy.show();
  const QColor face = f.form.palette().color(QPalette::Window);
  const QImage shown = box->grab().toImage();
  const QImage whole = roomy.grab().toImage();
  const QRect drawn = InkBox(shown, shown.rect(), face);
  QCOMPARE(drawn, InkBox(whole, whole.rect(), face));
  // It still lies within the radio group it sits over.
  QVERIFY(box->geometry().right() <= f.c().RadioGroup1->geometry().right());
}

void TForm2LayoutTest::shownCentredFromMainWindow() {
  Harness h;
  TForm2& form2 = *h.form2;
  QVERIFY(form2.isHidden());
  h.form->Menus().kjoer1->trigger();
  QVERIFY(form2.isVisible());
  QVERIFY(QTest::qWaitForWindowExposed(&form2));
  const QRect screen = form2.screen()->geometry();
  const QRect outer = form2.frameGeometry();
  QCOMPARE(outer.topLeft(), QPoint(screen.width() / 2 - outer.width() / 2, screen.height() / 2 - outer.height() / 2));
  // Moved away, closed and shown again: centred again; a second show makes no second window.
  form2.move(3, 4);
  form2.Controls().SpeedButton8->click();
  QVERIFY(form2.isHidden());
  h.form->Menus().kjoer1->trigger();
  h.form->Menus().kjoer1->trigger();
  QCOMPARE(form2.frameGeometry().topLeft(), outer.topLeft());
  QCOMPARE(QApplication::topLevelWidgets().count(&form2), 1);
}

void TForm2LayoutTest::closeHidesKeepingEverything() {
  Harness h;
  TForm2& form2 = *h.form2;
  const QString a = h.Wav("a.wav", WavRecipe{});
  const QString b = h.Wav("b.wav", WavRecipe{});
  h.form->Menus().kjoer1->trigger();
  h.prompts.openManyAnswers.push_back({a, b});
  form2.SpeedButton1Click();
  const Form2Controls& c = form2.Controls();
  c.RadioGroup1Item1->click();
  c.SpinEdit1->setValue(120);
  c.CheckBox1->setChecked(false);
  c.ProgressBar1->setValue(40);
  QVERIFY(form2.close());  // the close box: hidden, not destroyed
  QVERIFY(form2.isHidden());
  h.form->Menus().kjoer1->trigger();
  QVERIFY(form2.isVisible());
  QCOMPARE(form2.Entries(), QStringList({a, b}));
  QCOMPARE(form2.ItemIndex(), 1);
  QCOMPARE(c.RadioGroup1Items->checkedId(), 1);
  QCOMPARE(c.SpinEdit1->value(), 120);
  QVERIFY(!c.CheckBox1->isChecked());
  QCOMPARE(c.ProgressBar1->value(), 40);
}

QTEST_MAIN(TForm2LayoutTest)
#include "TForm2LayoutTest.moc"
