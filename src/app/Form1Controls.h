#pragma once

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QScrollBar;
class QSlider;
class QStatusBar;
class QTimer;
class QToolButton;
class QWidget;

namespace sonaveld {

class RasterWidget;

// The controls of the main window's client area, under the names the window's code uses, each
// with its caption and what it is for (the handlers they run are in TForm1.h). The widgets are
// owned by the client widget they were built on.
struct Form1Controls {
  QSlider* TrackBar1 = nullptr;  // "再生位置" (play position): the position bar, in ms of the file
  // The status panel: "動作表示" at start, then "再生中" (playing) / "停止" (stopped), or
  // "ファイル作成中" (creating a file) / "ファイル作成終了" (finished); a double-click aborts a file
  // being written.
  QLabel* Panel1 = nullptr;
  RasterWidget* Image5 = nullptr;        // the cut map strip: the ranges the cut-edited file keeps
  QToolButton* SpeedButton1 = nullptr;   // "最初" (start)
  QToolButton* SpeedButton3 = nullptr;   // "再生" (play)
  QToolButton* SpeedButton2 = nullptr;   // "停止" (stop)
  QToolButton* SpeedButton4 = nullptr;   // "Track再生位置" (track position)
  QComboBox* ComboBox1 = nullptr;        // the zoom box: frames per pixel column, "100" … "10000"
  QFrame* Bevel1 = nullptr;              // the frame around the time display
  QLabel* Label8 = nullptr;              // time display: hours
  QLabel* Label11 = nullptr;             // "h"
  QLabel* Label3 = nullptr;              // time display: minutes
  QLabel* Label10 = nullptr;             // "分" (minutes)
  QLabel* Label4 = nullptr;              // time display: seconds
  QLabel* Label9 = nullptr;              // "秒" (seconds)
  RasterWidget* Image4 = nullptr;        // the time ruler, with the marks' markers
  RasterWidget* Image1 = nullptr;        // the upper lane: the left (or only) channel's waveform
  RasterWidget* Image2 = nullptr;        // the lower lane: the right channel's waveform
  RasterWidget* Image3 = nullptr;        // the overlay on both lanes: the cursor line; takes the pointer
  QLabel* Label1 = nullptr;              // "Ｌ" beside the upper lane (stereo files only)
  QLabel* Label2 = nullptr;              // "Ｒ" beside the lower lane (stereo files only)
  QScrollBar* ScrollBar1 = nullptr;      // the view's start frame
  QGroupBox* GroupBox1 = nullptr;        // "ファイル情報" (file information), hidden
  QLabel* Label5 = nullptr;              // "モノラル" (mono) or "ステレオ" (stereo)
  QLabel* Label6 = nullptr;              // "量子化ビット数;16" (bits per sample; "(浮動小数点)" after it for float)
  QLabel* Label7 = nullptr;              // "周波数[Hz];44100" (sample rate)
  QPlainTextEdit* Memo1 = nullptr;       // hidden: the marks in the order of adding, one a line
  QPlainTextEdit* Memo2 = nullptr;       // hidden: the marks ascending, one a line
  QStatusBar* StatusBar1 = nullptr;
  QLabel* StatusPanel0 = nullptr;        // panel 0 of StatusBar1: sound notice, then file information
  QTimer* Timer1 = nullptr;              // every 80 ms: playback follows (TForm1::Timer1Timer)
  QTimer* Timer2 = nullptr;              // every second: the progress arrow (TForm1::Timer2Timer)
};

// Size of the main window's client area in pixels (below the menu bar).
inline constexpr int kForm1ClientWidth = 792;
inline constexpr int kForm1ClientHeight = 502;

// Creates every control on client (792 x 502) at its place and size, with its texts, hints,
// colours and fonts, in its state at start-up. Connects nothing.
Form1Controls BuildForm1Controls(QWidget* client);

}  // namespace sonaveld
