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

// The controls of the main window's client area, under the names the window's code uses. The
// widgets are owned by the client widget they were built on.
struct Form1Controls {
  QSlider* TrackBar1 = nullptr;
  QLabel* Panel1 = nullptr;
  RasterWidget* Image5 = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* SpeedButton3 = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QToolButton* SpeedButton4 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QFrame* Bevel1 = nullptr;
  QLabel* Label8 = nullptr;   // hours
  QLabel* Label11 = nullptr;  // "h"
  QLabel* Label3 = nullptr;   // minutes
  QLabel* Label10 = nullptr;  // "分"
  QLabel* Label4 = nullptr;   // seconds
  QLabel* Label9 = nullptr;   // "秒"
  RasterWidget* Image4 = nullptr;
  RasterWidget* Image1 = nullptr;
  RasterWidget* Image2 = nullptr;
  RasterWidget* Image3 = nullptr;
  QLabel* Label1 = nullptr;  // "Ｌ"
  QLabel* Label2 = nullptr;  // "Ｒ"
  QScrollBar* ScrollBar1 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QPlainTextEdit* Memo2 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* StatusPanel0 = nullptr;  // panel 0 of StatusBar1
  QTimer* Timer1 = nullptr;
  QTimer* Timer2 = nullptr;
};

// Size of the main window's client area in pixels (below the menu bar).
inline constexpr int kForm1ClientWidth = 792;
inline constexpr int kForm1ClientHeight = 502;

// Creates every control on client (792 x 502) at its place and size, with its texts, hints,
// colours and fonts, in its state at start-up. Connects nothing.
Form1Controls BuildForm1Controls(QWidget* client);

}  // namespace sonaveld
