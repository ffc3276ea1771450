#pragma once

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QRadioButton;
class QSpinBox;
class QToolButton;
class QWidget;

namespace sonaveld {

// The controls of the normalizer window's client area, under the names the window's code uses.
// The widgets are owned by the client widget they were built on.
struct Form2Controls {
  QListWidget* ListBox1 = nullptr;
  QToolButton* SpeedButton1 = nullptr;  // "追加"
  QToolButton* SpeedButton5 = nullptr;  // "上へ"
  QToolButton* SpeedButton6 = nullptr;  // "下へ"
  QToolButton* SpeedButton2 = nullptr;  // "削除"
  QToolButton* SpeedButton3 = nullptr;  // "全削除"
  QToolButton* SpeedButton4 = nullptr;  // "開始"
  QToolButton* SpeedButton7 = nullptr;  // "中止"
  QToolButton* SpeedButton8 = nullptr;  // "閉じる"
  QGroupBox* RadioGroup1 = nullptr;
  QButtonGroup* RadioGroup1Items = nullptr;  // ids 0 "最大値", 1 "平均値" (the item index)
  QRadioButton* RadioGroup1Item0 = nullptr;
  QRadioButton* RadioGroup1Item1 = nullptr;
  QSpinBox* SpinEdit1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QCheckBox* CheckBox2 = nullptr;  // "チャンネル連動": peak and average give both channels one gain
  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label1 = nullptr;  // "全体"
  QLabel* Label2 = nullptr;  // "ファイル"
  QProgressBar* ProgressBar1 = nullptr;
  QProgressBar* ProgressBar2 = nullptr;
};

// Size of the normalizer window's client area in pixels.
inline constexpr int kForm2ClientWidth = 522;
inline constexpr int kForm2ClientHeight = 422;  // 398, and a row for "チャンネル連動"

// Creates every control on client (522 x 422) at its place and size, with its texts, hints and
// colours, in its state at start-up (empty list, "最大値", 100, "File名変更" ticked, "チャンネル連動"
// not, both bars at 0 of 0..100). Connects nothing.
Form2Controls BuildForm2Controls(QWidget* client);

}  // namespace sonaveld
