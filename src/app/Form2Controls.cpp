#include "app/Form2Controls.h"
#include "app/Placement.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>

#include "app/AppFont.h"
#include "app/LenientSpinBox.h"

namespace sonaveld {
namespace {

const QColor kTeal(0, 128, 128);
const QColor kFuchsia(255, 0, 255);

void SetTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

// A flat button of 57 x 22 at (left, top).
QToolButton* FlatButton(QWidget* parent, const char* name, const QString& text, int left, int top) {
  auto* button = Place(new QToolButton(parent), name, left, top, 57, 22);
  button->setText(text);
  button->setAutoRaise(true);
  return button;
}

// An auto-sized teal label at (left, top) of the progress group.
QLabel* TealLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  SetTextColour(label, QPalette::WindowText, kTeal);
  label->move(left, top);
  label->adjustSize();
  return label;
}

QProgressBar* Bar(QWidget* parent, const char* name, int top) {
  auto* bar = Place(new QProgressBar(parent), name, 59, top, 150, 16);
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  return bar;
}

void BuildListAndButtons(QWidget* client, Form2Controls& c) {
  c.ListBox1 = Place(new QListWidget(client), "ListBox1", 16, 16, 489, 249);
  c.ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  c.ListBox1->setUniformItemSizes(true);

  c.SpeedButton1 = FlatButton(client, "SpeedButton1", QStringLiteral("追加"), 16, 280);
  c.SpeedButton5 = FlatButton(client, "SpeedButton5", QStringLiteral("上へ"), 88, 280);
  c.SpeedButton6 = FlatButton(client, "SpeedButton6", QStringLiteral("下へ"), 160, 280);
  c.SpeedButton2 = FlatButton(client, "SpeedButton2", QStringLiteral("削除"), 232, 280);
  c.SpeedButton3 = FlatButton(client, "SpeedButton3", QStringLiteral("全削除"), 304, 280);
  c.SpeedButton4 = FlatButton(client, "SpeedButton4", QStringLiteral("開始"), 376, 280);
  c.SpeedButton4->setToolTip(QStringLiteral("同じフォルダにノーマライズしたファイルが作成されます。"));
  c.SpeedButton7 = FlatButton(client, "SpeedButton7", QStringLiteral("中止"), 448, 280);
  SetTextColour(c.SpeedButton7, QPalette::ButtonText, kFuchsia);
  c.SpeedButton8 = FlatButton(client, "SpeedButton8", QStringLiteral("閉じる"), 448, 344);
}

void BuildSettings(QWidget* client, Form2Controls& c) {
  c.RadioGroup1 = Place(new QGroupBox(QStringLiteral("ノーマライズ設定"), client), "RadioGroup1", 16, 320, 169, 65);
  // The items stand one under the other in the group's left part; the spin box and the check box
  // sit over its right part, beside them.
  c.RadioGroup1Item0 = Place(new QRadioButton(QStringLiteral("最大値"), c.RadioGroup1), "RadioGroup1Item0", 8, 16, 70, 20);
  c.RadioGroup1Item1 = Place(new QRadioButton(QStringLiteral("平均値"), c.RadioGroup1), "RadioGroup1Item1", 8, 39, 70, 20);
  c.RadioGroup1Items = new QButtonGroup(c.RadioGroup1);
  c.RadioGroup1Items->addButton(c.RadioGroup1Item0, 0);
  c.RadioGroup1Items->addButton(c.RadioGroup1Item1, 1);
  c.RadioGroup1Item0->setChecked(true);

  // The box keeps whatever is typed; the pass brings the text into 1..150 when it starts.
  c.SpinEdit1 = Place(new LenientSpinBox(client), "SpinEdit1", 96, 336, 49, 21);
  c.SpinEdit1->setRange(1, 150);
  c.SpinEdit1->setValue(100);
  c.SpinEdit1->raise();

  c.CheckBox1 = Place(new QCheckBox(QStringLiteral("File名変更"), client), "CheckBox1", 96, 360, 73, 17);
  // 73 pixels cut the caption's last glyph in the window font; the box grows to the width the
  // style needs for indicator and caption, and no further.
  c.CheckBox1->resize(std::max(c.CheckBox1->width(), c.CheckBox1->sizeHint().width()), c.CheckBox1->height());
  c.CheckBox1->setChecked(true);
  c.CheckBox1->setToolTip(QStringLiteral(
      "チェックがあるとノーマライズしたファイルの名前に「-n」がつきます。"
      "チェックがないとオリジナルファイルに「-orgi」とつきます。"));
  c.CheckBox1->raise();

  // Under the settings group, in the row the window grew by.
  c.CheckBox2 = Place(new QCheckBox(QStringLiteral("チャンネル連動"), client), "CheckBox2", 16, 396, 100, 17);
  c.CheckBox2->resize(std::max(c.CheckBox2->width(), c.CheckBox2->sizeHint().width()), c.CheckBox2->height());
  c.CheckBox2->setToolTip(QStringLiteral("チェックがあると両チャンネルに同じ倍率（小さい方）をかけ、左右のバランスを保ちます。"));
}

void BuildProgress(QWidget* client, Form2Controls& c) {
  c.GroupBox1 = Place(new QGroupBox(QStringLiteral("ノーマライズ処理状況"), client), "GroupBox1", 204, 320, 225, 65);
  c.Label1 = TealLabel(c.GroupBox1, "Label1", QStringLiteral("全体"), 16, 21);
  c.Label2 = TealLabel(c.GroupBox1, "Label2", QStringLiteral("ファイル"), 8, 45);
  c.ProgressBar1 = Bar(c.GroupBox1, "ProgressBar1", 17);
  c.ProgressBar2 = Bar(c.GroupBox1, "ProgressBar2", 41);
}

// A plain label at (left, top) of parent, as wide as its text.
QLabel* PlainLabel(QWidget* parent, const QString& text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->move(left, top);
  label->adjustSize();
  return label;
}

// The loudness group: its mode item, target and ceiling with their units, the presets, the two
// check boxes, "測定" and "レポート保存".
void BuildLoudness(QWidget* client, Form2Controls& c) {
  QWidget* g = c.GroupBox2 = Place(new QGroupBox(QStringLiteral("ラウドネス設定"), client), "GroupBox2", 16, 420, 489, 78);
  c.RadioGroup1Item2 = Place(new QRadioButton(QStringLiteral("ラウドネス"), g), "RadioGroup1Item2", 8, 18, 84, 20);
  c.RadioGroup1Items->addButton(c.RadioGroup1Item2, 2);
  PlainLabel(g, QStringLiteral("目標"), 96, 21);
  c.Edit1 = Place(new QLineEdit(QStringLiteral("-23.0"), g), "Edit1", 124, 18, 48, 21);
  PlainLabel(g, QStringLiteral("LUFS"), 176, 21);
  PlainLabel(g, QStringLiteral("上限"), 214, 21);
  c.Edit2 = Place(new QLineEdit(QStringLiteral("-1.0"), g), "Edit2", 242, 18, 40, 21);
  PlainLabel(g, QStringLiteral("dBTP"), 286, 21);
  c.Edit1->setToolTip(QStringLiteral("目標の積分ラウドネス（-70 から -5 LUFS）"));
  c.Edit2->setToolTip(QStringLiteral("トゥルーピークの上限（-9 から 0 dBTP）"));
  c.ComboBox1 = Place(new QComboBox(g), "ComboBox1", 330, 18, 150, 21);
  for (const LoudnessPreset& preset : kLoudnessPresets) c.ComboBox1->addItem(QString::fromUtf8(preset.caption));
  c.CheckBox3 = Place(new QCheckBox(QStringLiteral("アルバム"), g), "CheckBox3", 96, 50, 80, 17);
  c.CheckBox3->setToolTip(QStringLiteral("チェックがあるとリスト全体に同じ利得をかけ、ファイル同士の音量差を保ちます。"));
  c.CheckBox4 = Place(new QCheckBox(QStringLiteral("デュアルモノ"), g), "CheckBox4", 184, 50, 100, 17);
  c.CheckBox4->setToolTip(QStringLiteral("チェックがあるとモノラルのチャンネルを2回数えて測定します。"));
  for (QCheckBox* box : {c.CheckBox3, c.CheckBox4}) {
    box->resize(std::max(box->width(), box->sizeHint().width()), box->height());
  }
  c.SpeedButton9 = FlatButton(g, "SpeedButton9", QStringLiteral("測定"), 330, 48);
  c.SpeedButton9->setToolTip(QStringLiteral("リストのファイルを測定します。ファイルは書き込みません。"));
  c.SpeedButton10 = Place(new QToolButton(g), "SpeedButton10", 394, 48, 86, 22);
  c.SpeedButton10->setText(QStringLiteral("レポート保存"));
  c.SpeedButton10->setAutoRaise(true);
}

}  // namespace

Form2Controls BuildForm2Controls(QWidget* client) {
  client->setFixedSize(kForm2ClientWidth, kForm2ClientHeight);
  Form2Controls c;
  BuildListAndButtons(client, c);
  BuildSettings(client, c);
  BuildProgress(client, c);
  BuildLoudness(client, c);
  return c;
}

}  // namespace sonaveld
