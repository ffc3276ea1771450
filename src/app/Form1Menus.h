#pragma once

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace sonaveld {

// The main menu MainMenu1 and the pop-up menu PopupMenu1 of the main window, under the item names
// the window's code uses. N5/N1, N7/N6 run the same handlers; N14 runs the play button's.
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
  QMenu* N11 = nullptr;
  QAction* kjoer1 = nullptr;
  QAction* PeakView1 = nullptr;  // "ピーク表示", checkable, off at start; the lanes' peak view
  QMenu* PopupMenu1 = nullptr;
  QAction* N1 = nullptr;
  QAction* N6 = nullptr;
  QAction* N14 = nullptr;
};

// Builds both menus with every item in order; the menu bar and the pop-up belong to window.
Form1Menus BuildForm1Menus(QWidget* window);

}  // namespace sonaveld
