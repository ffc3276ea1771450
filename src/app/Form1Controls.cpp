#include "app/Form1Controls.h"
#include "app/Placement.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "app/AppFont.h"
#include "app/RasterWidget.h"
#include "app/TimeDisplay.h"
#include "view/ViewImages.h"

namespace sonaveld {
namespace {

const QColor kTeal(0, 128, 128);
const QColor kMaroon(128, 0, 0);

// An auto-sized label at (left, top) in a colour and pixel height of its own.
QLabel* TextLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  const QColor& colour, int pixelSize) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(WindowFont(pixelSize));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  label->move(left, top);
  label->adjustSize();
  return label;
}

QToolButton* FlatButton(QWidget* parent, const char* name, const QString& text, const QString& hint,
                        int left, int width) {
  auto* button = Place(new QToolButton(parent), name, left, 60, width, 25);
  button->setText(text);
  button->setAutoRaise(true);
  button->setToolTip(hint);
  return button;
}

void BuildTransport(QWidget* client, Form1Controls& c) {
  c.TrackBar1 = Place(new QSlider(Qt::Horizontal, client), "TrackBar1", 8, 4, 641, 25);
  c.TrackBar1->setTickPosition(QSlider::NoTicks);
  c.TrackBar1->setRange(0, 0);
  c.TrackBar1->setToolTip(QStringLiteral("再生位置"));

  c.Panel1 = Place(new QLabel(QStringLiteral("動作表示"), client), "Panel1", 664, 5, 113, 25);
  c.Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  c.Panel1->setAlignment(Qt::AlignCenter);
  c.Panel1->setToolTip(QStringLiteral("ファイル作成中、ダルクリックで作成中止"));

  c.Image5 = new RasterWidget(view::NewStrip(), false, client);
  Place(c.Image5, "Image5", 18, 32, view::kStripWidth, view::kStripHeight);
  c.Image5->setToolTip(QStringLiteral("カット編集したファイルの編集イメージです。"));

  c.SpeedButton1 = FlatButton(client, "SpeedButton1", QStringLiteral("最初"), {}, 24, 49);
  c.SpeedButton3 = FlatButton(client, "SpeedButton3", QStringLiteral("再生"),
                              QStringLiteral("トラック上でCtrl＋左クリック"), 88, 49);
  c.SpeedButton2 = FlatButton(client, "SpeedButton2", QStringLiteral("停止"), {}, 152, 49);
  c.SpeedButton4 = FlatButton(client, "SpeedButton4", QStringLiteral("Track再生位置"),
                              QStringLiteral("トラック上でCtrl＋右クリック"), 216, 89);

  c.ComboBox1 = Place(new QComboBox(client), "ComboBox1", 328, 64, 65, 20);
  c.ComboBox1->setEditable(true);
  c.ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  c.ComboBox1->setCompleter(nullptr);  // typed text stays as typed: "1" is 1, not "100"
  c.ComboBox1->addItems({QStringLiteral("全体"), QStringLiteral("100"), QStringLiteral("300"), QStringLiteral("500"),
                         QStringLiteral("1000"), QStringLiteral("3000"), QStringLiteral("5000"),
                         QStringLiteral("10000")});
  c.ComboBox1->setCurrentText(QStringLiteral("1000"));
  c.ComboBox1->setToolTip(
      QStringLiteral("波形を拡大・縮小します。マウスの中央ボタンでも拡大・縮小できます。"));
}

void BuildTimeDisplay(QWidget* client, Form1Controls& c) {
  c.Bevel1 = Place(new QFrame(client), "Bevel1", 664, 52, 113, 29);
  c.Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  c.Label8 = TextLabel(client, "Label8", QStringLiteral("0"), 669, 56, kTeal, 20);
  c.Label11 = TextLabel(client, "Label11", QStringLiteral("h"), 678, 56, kTeal, 20);
  c.Label3 = TextLabel(client, "Label3", QStringLiteral("00"), 691, 56, kTeal, 20);
  c.Label10 = TextLabel(client, "Label10", QStringLiteral("分"), 712, 56, kTeal, 20);
  c.Label4 = TextLabel(client, "Label4", QStringLiteral("00"), 733, 56, kTeal, 20);
  c.Label9 = TextLabel(client, "Label9", QStringLiteral("秒"), 754, 56, kTeal, 20);
  PlaceTimeDisplay(c);
}

void BuildWaveform(QWidget* client, Form1Controls& c) {
  c.Image4 = new RasterWidget(view::NewRuler(), false, client);
  Place(c.Image4, "Image4", 22, 104, view::kLaneWidth, view::kRulerHeight);
  c.Image1 = new RasterWidget(view::NewLane(), false, client);
  Place(c.Image1, "Image1", 22, 132, view::kLaneWidth, view::kLaneHeight);
  c.Image2 = new RasterWidget(view::NewLane(), false, client);
  Place(c.Image2, "Image2", 22, 296, view::kLaneWidth, view::kLaneHeight);
  c.Image3 = new RasterWidget(view::NewOverlay(), true, client);
  Place(c.Image3, "Image3", 22, 132, view::kLaneWidth, view::kOverlayHeight);
  c.Image3->raise();

  c.Label1 = TextLabel(client, "Label1", QStringLiteral("Ｌ"), 4, 204, kMaroon, 16);
  c.Label2 = TextLabel(client, "Label2", QStringLiteral("Ｒ"), 4, 368, kMaroon, 16);
  c.Label1->hide();
  c.Label2->hide();

  c.ScrollBar1 = Place(new QScrollBar(Qt::Horizontal, client), "ScrollBar1", 22, 462, 761, 16);
  c.ScrollBar1->setRange(1, 100);
  c.ScrollBar1->setValue(1);
  c.ScrollBar1->setPageStep(1);
}

void BuildHiddenParts(QWidget* client, Form1Controls& c) {
  c.GroupBox1 = Place(new QGroupBox(QStringLiteral("ファイル情報"), client), "GroupBox1", 552, 336, 105, 65);
  c.Label5 = TextLabel(c.GroupBox1, "Label5", QStringLiteral("Label5"), 8, 16, Qt::black, 12);
  c.Label6 = TextLabel(c.GroupBox1, "Label6", QStringLiteral("Label6"), 8, 32, Qt::black, 12);
  c.Label7 = TextLabel(c.GroupBox1, "Label7", QStringLiteral("Label7"), 8, 48, Qt::black, 12);
  c.GroupBox1->hide();

  c.Memo1 = Place(new QPlainTextEdit(client), "Memo1", 536, 184, 65, 73);
  c.Memo2 = Place(new QPlainTextEdit(client), "Memo2", 632, 184, 65, 73);
  c.Memo1->hide();
  c.Memo2->hide();
}

void BuildStatusAndTimers(QWidget* client, Form1Controls& c) {
  c.StatusBar1 = Place(new QStatusBar(client), "StatusBar1", 0, kForm1ClientHeight - 19,
                       kForm1ClientWidth, 19);
  c.StatusBar1->setSizeGripEnabled(false);
  // The one panel starts 50 pixels wide; as the last panel it runs on to the bar's right end.
  c.StatusPanel0 = new QLabel(c.StatusBar1);
  c.StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
  c.StatusPanel0->setMinimumWidth(50);
  c.StatusBar1->addWidget(c.StatusPanel0, 1);

  c.Timer1 = new QTimer(client);
  c.Timer1->setObjectName(QStringLiteral("Timer1"));
  c.Timer1->setInterval(80);
  c.Timer2 = new QTimer(client);
  c.Timer2->setObjectName(QStringLiteral("Timer2"));
  c.Timer2->setInterval(1000);
}

}  // namespace

Form1Controls BuildForm1Controls(QWidget* client) {
  client->setFixedSize(kForm1ClientWidth, kForm1ClientHeight);
  Form1Controls c;
  BuildTransport(client, c);
  BuildTimeDisplay(client, c);
  BuildWaveform(client, c);
  BuildHiddenParts(client, c);
  BuildStatusAndTimers(client, c);
  return c;
}

}  // namespace sonaveld
