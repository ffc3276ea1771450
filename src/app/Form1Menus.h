#pragma once

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace sonaveld {

// The main menu MainMenu1 and the pop-up menu PopupMenu1 of the main window, under the item names
// the window's code uses. N5/N1, N7/N6, PlayMark1/PlayMark2 run the same handlers; N14 runs the
// play button's. The keys are the shortcuts of the main menu's items and of the actions on the
// window itself (PlayStop1, FromStart1); a pop-up item shows the key of its twin or of the window
// action, the pop-up's own shortcuts never firing.
struct Form1Menus {
  QMenuBar* MainMenu1 = nullptr;
  QMenu* File1 = nullptr;
  QAction* Open1 = nullptr;
  QAction* N3 = nullptr;
  QAction* N10 = nullptr;
  QAction* N9 = nullptr;
  QAction* Exit1 = nullptr;
  QMenu* Edit1 = nullptr;
  QAction* N5 = nullptr;
  QAction* N7 = nullptr;
  QAction* N2 = nullptr;
  QAction* N8 = nullptr;  // "先頭を残す", checkable; the keep-head setting's check mark
  QMenu* N15 = nullptr;
  QAction* N12 = nullptr;
  QAction* N13 = nullptr;
  QAction* PlayMark1 = nullptr;  // "再生位置にマーク追加", key M
  QMenu* N11 = nullptr;
  QAction* kjoer1 = nullptr;
  QAction* PauseMarks1 = nullptr;  // "無音部分にマーク…"
  QAction* PeakView1 = nullptr;  // "ピーク表示", checkable, off at start; the lanes' peak view
  QMenu* PopupMenu1 = nullptr;
  QAction* N1 = nullptr;
  QAction* N6 = nullptr;
  QAction* N14 = nullptr;     // shows Space, the key of PlayStop1
  QAction* FromStart1 = nullptr;  // "最初から再生", key Home; also on the window
  QAction* PlayMark2 = nullptr;
  QAction* PlayStop1 = nullptr;  // Space: play from the line when stopped, stop when playing; in no menu
};

// Builds both menus with every item in order and the keys; the menu bar, the pop-up and the
// window actions belong to window.
Form1Menus BuildForm1Menus(QWidget* window);

}  // namespace sonaveld
