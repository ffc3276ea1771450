// The main window as laid out at start: places, sizes, texts, hints, colours, menus.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/RasterWidget.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

// The time display's frame and labels move left (never right) when their texts do not fit the
// designed places with the installed face; their fit is checked on pixels in TForm1TransportTest.
bool FittedToText(const QString& name) {
  return QStringList{"Bevel1", "Label8", "Label11", "Label3", "Label10", "Label4"}.contains(name);
}

void CompareTopLeft(const QString& name, const QPoint& actual, const QPoint& designed) {
  QCOMPARE(actual.y(), designed.y());
  QVERIFY2(FittedToText(name) ? actual.x() <= designed.x() : actual.x() == designed.x(), qPrintable(name));
}

}  // namespace

class TForm1LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void windowFrame();
  void controlPlaces_data();
  void controlPlaces();
  void textsAndHints_data();
  void textsAndHints();
  void coloursAndFonts();
  void startState();
  void mainMenu();
  void popupMenu();
  void form2Placeholder();
};

void TForm1LayoutTest::windowFrame() {
  Harness h;
  TForm1& f = *h.form;
  QCOMPARE(f.windowTitle(), QStringLiteral("Sonaveld3.3"));
  QCOMPARE(f.centralWidget()->size(), QSize(792, 502));
  QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(f.windowFlags() & Qt::WindowMinimizeButtonHint);
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  // Fixed size: the client area lies below the menu bar, so the window is that much taller.
  QCOMPARE(f.minimumSize(), f.maximumSize());
  QCOMPARE(f.height(), 502 + f.menuBar()->height());
  QCOMPARE(f.centralWidget()->y(), f.menuBar()->height());
  QCOMPARE(f.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
  QCOMPARE(f.font().pixelSize(), 12);
  QVERIFY(QFont::substitutes(QStringLiteral("ＭＳ Ｐゴシック")).contains(QStringLiteral("IPAPGothic"), Qt::CaseInsensitive));
  QCOMPARE(QFontInfo(f.font()).family(), QStringLiteral("IPAPGothic"));
}

void TForm1LayoutTest::controlPlaces_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("place");
  QTest::newRow("TrackBar1") << "TrackBar1" << QRect(8, 4, 641, 25);
  QTest::newRow("Panel1") << "Panel1" << QRect(664, 5, 113, 25);
  QTest::newRow("Image5") << "Image5" << QRect(18, 32, 621, 8);
  QTest::newRow("SpeedButton1") << "SpeedButton1" << QRect(24, 60, 49, 25);
  QTest::newRow("SpeedButton3") << "SpeedButton3" << QRect(88, 60, 49, 25);
  QTest::newRow("SpeedButton2") << "SpeedButton2" << QRect(152, 60, 49, 25);
  QTest::newRow("SpeedButton4") << "SpeedButton4" << QRect(216, 60, 89, 25);
  QTest::newRow("ComboBox1") << "ComboBox1" << QRect(328, 64, 65, 20);
  QTest::newRow("Bevel1") << "Bevel1" << QRect(664, 52, 113, 29);
  QTest::newRow("Image4") << "Image4" << QRect(22, 104, 760, 25);
  QTest::newRow("Image1") << "Image1" << QRect(22, 132, 760, 160);
  QTest::newRow("Image2") << "Image2" << QRect(22, 296, 760, 160);
  QTest::newRow("Image3") << "Image3" << QRect(22, 132, 760, 324);
  QTest::newRow("ScrollBar1") << "ScrollBar1" << QRect(22, 462, 761, 16);
  QTest::newRow("GroupBox1") << "GroupBox1" << QRect(552, 336, 105, 65);
  QTest::newRow("Memo1") << "Memo1" << QRect(536, 184, 65, 73);
  QTest::newRow("Memo2") << "Memo2" << QRect(632, 184, 65, 73);
  QTest::newRow("StatusBar1") << "StatusBar1" << QRect(0, 483, 792, 19);
}

void TForm1LayoutTest::controlPlaces() {
  QFETCH(QString, name);
  QFETCH(QRect, place);
  Harness h;
  auto* widget = h.form->centralWidget()->findChild<QWidget*>(name);
  QVERIFY2(widget != nullptr, qPrintable(name));
  CompareTopLeft(name, widget->pos(), place.topLeft());
  QCOMPARE(widget->geometry().bottomRight(), place.bottomRight());  // the frame's right edge stays
}

void TForm1LayoutTest::textsAndHints_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("hint");
  QTest::addColumn<QPoint>("topLeft");
  QTest::newRow("Panel1") << "Panel1" << "動作表示" << "ファイル作成中、ダルクリックで作成中止" << QPoint(664, 5);
  QTest::newRow("SpeedButton1") << "SpeedButton1" << "最初" << "" << QPoint(24, 60);
  QTest::newRow("SpeedButton3") << "SpeedButton3" << "再生" << "トラック上でCtrl＋左クリック" << QPoint(88, 60);
  QTest::newRow("SpeedButton2") << "SpeedButton2" << "停止" << "" << QPoint(152, 60);
  QTest::newRow("SpeedButton4") << "SpeedButton4" << "Track再生位置" << "トラック上でCtrl＋右クリック"
                                << QPoint(216, 60);
  QTest::newRow("ComboBox1") << "ComboBox1" << "1000"
                             << "波形を拡大・縮小します。マウスの中央ボタンでも拡大・縮小できます。" << QPoint(328, 64);
  QTest::newRow("TrackBar1") << "TrackBar1" << "" << "再生位置" << QPoint(8, 4);
  QTest::newRow("Image5") << "Image5" << "" << "カット編集したファイルの編集イメージです。" << QPoint(18, 32);
  QTest::newRow("Label8") << "Label8" << "0" << "" << QPoint(669, 56);
  QTest::newRow("Label11") << "Label11" << "h" << "" << QPoint(678, 56);
  QTest::newRow("Label3") << "Label3" << "00" << "" << QPoint(691, 56);
  QTest::newRow("Label10") << "Label10" << "分" << "" << QPoint(712, 56);
  QTest::newRow("Label4") << "Label4" << "00" << "" << QPoint(733, 56);
  QTest::newRow("Label9") << "Label9" << "秒" << "" << QPoint(754, 56);
  QTest::newRow("Label1") << "Label1" << "Ｌ" << "" << QPoint(4, 204);
  QTest::newRow("Label2") << "Label2" << "Ｒ" << "" << QPoint(4, 368);
}

void TForm1LayoutTest::textsAndHints() {
  QFETCH(QString, name);
  QFETCH(QString, text);
  QFETCH(QString, hint);
  QFETCH(QPoint, topLeft);
  Harness h;
  auto* widget = h.form->centralWidget()->findChild<QWidget*>(name);
  QVERIFY2(widget != nullptr, qPrintable(name));
  CompareTopLeft(name, widget->pos(), topLeft);
  QCOMPARE(widget->toolTip(), hint);
  if (auto* label = qobject_cast<QLabel*>(widget)) QCOMPARE(label->text(), text);
  if (auto* button = qobject_cast<QToolButton*>(widget)) {
    QCOMPARE(button->text(), text);
    QVERIFY(button->autoRaise());  // flat
  }
  if (auto* box = qobject_cast<QComboBox*>(widget)) QCOMPARE(box->currentText(), text);
}

void TForm1LayoutTest::coloursAndFonts() {
  Harness h;
  const Form1Controls& c = h.form->Controls();
  for (QLabel* label : {c.Label8, c.Label11, c.Label3, c.Label10, c.Label4, c.Label9}) {
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 128, 128));
    QCOMPARE(label->font().pixelSize(), 20);
  }
  // The time display paints in teal (its foreground role is the window text's).
  h.form->show();
  const QImage shown = c.Label3->grab().toImage();
  bool teal = false;
  for (int y = 0; y < shown.height() && !teal; ++y) {
    for (int x = 0; x < shown.width() && !teal; ++x) teal = (shown.pixel(x, y) & 0xFFFFFFu) == 0x008080u;
  }
  QVERIFY(teal);
  for (QLabel* label : {c.Label1, c.Label2}) {
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    QCOMPARE(label->font().pixelSize(), 16);
  }
}

void TForm1LayoutTest::startState() {
  Harness h;
  const Form1Controls& c = h.form->Controls();
  QVERIFY(c.GroupBox1->isHidden());
  QCOMPARE(c.GroupBox1->title(), QStringLiteral("ファイル情報"));
  QCOMPARE(c.Label5->text(), QStringLiteral("Label5"));
  QVERIFY(c.Label1->isHidden());
  QVERIFY(c.Label2->isHidden());
  QVERIFY(c.Memo1->isHidden());
  QVERIFY(c.Memo2->isHidden());
  QCOMPARE(c.ScrollBar1->minimum(), 1);
  QCOMPARE(c.ScrollBar1->value(), 1);
  QCOMPARE(c.ScrollBar1->maximum(), 100);
  QCOMPARE(c.TrackBar1->tickPosition(), QSlider::NoTicks);
  QCOMPARE(c.Timer1->interval(), 80);
  QCOMPARE(c.Timer2->interval(), 1000);
  QVERIFY(c.Timer1->isActive());
  QVERIFY(c.Timer2->isActive());
  QStringList items;
  for (int i = 0; i < c.ComboBox1->count(); ++i) items << c.ComboBox1->itemText(i);
  QCOMPARE(items, QStringList({"全体", "100", "300", "500", "1000", "3000", "5000", "10000"}));
  QVERIFY(c.ComboBox1->isEditable());
  QCOMPARE(h.form->Flags().Busy, false);
  QCOMPARE(h.form->Flags().AbortRequested, false);
  QVERIFY(!h.form->DocumentOpen());
  for (const QImage* image : {&Lane1(*h.form), &Lane2(*h.form), &Ruler(*h.form), &Strip(*h.form)}) {
    QVERIFY(AllWhite(*image));
  }
  QVERIFY(c.StatusPanel0->text().isEmpty());
}

namespace {

QStringList Captions(const QMenu* menu) {
  QStringList out;
  for (const QAction* action : menu->actions()) {
    out << action->objectName() + QLatin1Char('=') + action->text();
  }
  return out;
}

}  // namespace

void TForm1LayoutTest::mainMenu() {
  Harness h;
  const Form1Menus& m = h.form->Menus();
  QStringList top;
  for (const QAction* action : m.MainMenu1->actions()) top << action->text();
  QCOMPARE(top, QStringList({"ファイル", "編集", "ツール"}));
  QCOMPARE(Captions(m.File1), QStringList({"Open1=開く", "N3=カット編集ファイル作成保存", "N10=選択範囲を分割して保存",
                                           "N9=マーク位置で分割して保存（選択範囲と非選択範囲）", "Exit1=終了", "=",
                                           "MarkerCopy1=マーカー付きで保存…", "JoinOpen1=つなげて開く…"}));
  QStringList edit = Captions(m.Edit1);
  QCOMPARE(edit.size(), 18);
  QCOMPARE(edit.mid(5), QStringList({"ExactCut1=フレーム単位で正確に切る", "UseNames1=マーク名をファイル名に使う", "=",
                                     "PlayMark1=再生位置にマーク追加", "=", "Undo1=元に戻す", "Redo1=やり直し", "=",
                                     "WholeView1=全体", "FollowPlay1=再生位置を追う", "PieceList1=部分一覧…", "=",
                                     "=再生チャンネル"}));
  QCOMPARE(m.Redo1->shortcuts(), QList<QKeySequence>({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
  QVERIFY(m.FollowPlay1->isCheckable() && !m.FollowPlay1->isChecked());
  QCOMPARE(edit.mid(0, 4), QStringList({"N5=ライン位置でマーク追加", "N7=マーク削除", "N2=マークポイトン全削除", "N8=先頭を残す"}));
  QCOMPARE(m.Edit1->actions().at(4)->menu(), m.N15);
  QCOMPARE(m.N15->title(), QStringLiteral("全マークポイント保存・読込"));
  QCOMPARE(Captions(m.N15), QStringList({"N12=全マークポイントを記録", "N13=記録した全マークポイントを読み込む", "=",
                                         "ReadMarkers1=ファイル内のマーカーを読み込む", "ReadLabels1=ラベルファイルを読み込む…",
                                         "WriteLabels1=ラベルファイルに書き出す…", "ReadCue1=CUEシートを読み込む…",
                                         "WriteCue1=CUEシートに書き出す…"}));
  QCOMPARE(Captions(m.N11), QStringList({"kjoer1=ノーマライズ", "PauseMarks1=無音部分にマーク…", "PeakView1=ピーク表示"}));
  for (const QAction* check : {m.N8, m.PeakView1, m.ExactCut1, m.UseNames1}) {
    QVERIFY(check->isCheckable());
    QVERIFY(!check->isChecked());
  }
}

void TForm1LayoutTest::popupMenu() {
  Harness h;
  QCOMPARE(Captions(h.form->Menus().PopupMenu1), QStringList({"N1=ライン位置でマーク追加", "N6=マーク削除", "N14=再生", "=",
                                                               "FromStart1=最初から再生", "PlayMark2=再生位置にマーク追加"}));
}

void TForm1LayoutTest::form2Placeholder() {
  Harness h;
  QCOMPARE(h.form2->windowTitle(), QStringLiteral("ノーマライズ"));
  QCOMPARE(h.form2->size(), QSize(522, 508));  // grown by the linked-channels row and the loudness group
  QVERIFY(h.form2->isHidden());
  h.form->Menus().kjoer1->trigger();
  QVERIFY(h.form2->isVisible());
  QTest::qWait(1);
  h.form->Menus().kjoer1->trigger();  // the same window, shown once more
  QVERIFY(h.form2->isVisible());
  QCOMPARE(QApplication::topLevelWidgets().count(h.form2.get()), 1);
}

QTEST_MAIN(TForm1LayoutTest)
#include "TForm1LayoutTest.moc"
