#pragma once

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
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
  // ids 0 "最大値", 1 "平均値" (the item index), 2 "ラウドネス" (in GroupBox2)
  QButtonGroup* RadioGroup1Items = nullptr;
  QRadioButton* RadioGroup1Item0 = nullptr;
  QRadioButton* RadioGroup1Item1 = nullptr;
  QRadioButton* RadioGroup1Item2 = nullptr;
  QSpinBox* SpinEdit1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QCheckBox* CheckBox2 = nullptr;  // "チャンネル連動": peak and average give all channels one gain
  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label1 = nullptr;  // "全体"
  QLabel* Label2 = nullptr;  // "ファイル"
  QProgressBar* ProgressBar1 = nullptr;
  QProgressBar* ProgressBar2 = nullptr;
  // Loudness mode, in the group under the settings the window grew by.
  QGroupBox* GroupBox2 = nullptr;      // "ラウドネス設定"
  QLineEdit* Edit1 = nullptr;          // target, LUFS (-70..-5)
  QLineEdit* Edit2 = nullptr;          // true-peak ceiling, dBTP (-9..0)
  QComboBox* ComboBox1 = nullptr;      // presets: fills both boxes
  QCheckBox* CheckBox3 = nullptr;      // "アルバム": one gain for the whole list
  QCheckBox* CheckBox4 = nullptr;      // "デュアルモノ": a mono channel counted twice
  QToolButton* SpeedButton9 = nullptr;   // "測定": measures the list, writes nothing
  QToolButton* SpeedButton10 = nullptr;  // "レポート保存": the CSV report of the last loudness run
};

// A preset of the loudness mode: its caption in the list, target and ceiling.
struct LoudnessPreset {
  const char* caption;
  double targetLufs;
  double ceilingDbtp;
};
inline constexpr LoudnessPreset kLoudnessPresets[] = {
    {"EBU R128 −23", -23, -1}, {"ATSC A/85 −24", -24, -2}, {"ポッドキャスト −16", -16, -1},
    {"ストリーミング −14", -14, -1}, {"ReplayGain −18", -18, -1}};

// Size of the normalizer window's client area in pixels.
inline constexpr int kForm2ClientWidth = 522;
inline constexpr int kForm2ClientHeight = 508;  // 398, a row for "チャンネル連動", the loudness group

// Creates every control on client (522 x 508) at its place and size, with its texts, hints and
// colours, in its state at start-up (empty list, "最大値", 100, "File名変更" ticked, "チャンネル連動"
// not, both bars at 0 of 0..100; loudness: EBU R128, -23 LUFS, -1 dBTP, アルバム and デュアルモノ not
// ticked). Connects nothing.
Form2Controls BuildForm2Controls(QWidget* client);

}  // namespace sonaveld
