#pragma once

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace sonaveld {

// The main menu MainMenu1 and the pop-up menu PopupMenu1 of the main window, under the item names
// the window's code uses, each with its caption. An item runs the handler of its own name
// (N3 → TForm1::N3Click), except the items that share a handler, listed in TForm1.h. The keys are
// the shortcuts of the main menu's items and of the actions on the window itself (PlayStop1,
// FromStart1); a pop-up item shows the key of its twin or of the window action, the pop-up's own
// shortcuts never firing.
struct Form1Menus {
  QMenuBar* MainMenu1 = nullptr;
  QMenu* File1 = nullptr;    // "ファイル" (file)
  QAction* Open1 = nullptr;  // "開く" (open), Ctrl+O
  QAction* JoinOpen1 = nullptr;  // "つなげて開く…" (join files and open the whole)
  QAction* N3 = nullptr;     // "カット編集ファイル作成保存" (save the cut-edited file), Ctrl+S
  QAction* N10 = nullptr;    // "選択範囲を分割して保存" (save the selected ranges split)
  QAction* N9 = nullptr;     // "マーク位置で分割して保存（選択範囲と非選択範囲）" (save split at the marks)
  QAction* Exit1 = nullptr;  // "終了" (exit)
  // "マーカー付きで保存…" (save with markers…): a copy of the whole file with the marks as its markers.
  QAction* MarkerCopy1 = nullptr;
  QMenu* Edit1 = nullptr;    // "編集" (edit)
  QAction* N5 = nullptr;     // "ライン位置でマーク追加" (add a mark at the line)
  QAction* N7 = nullptr;     // "マーク削除" (delete mark), Delete
  QAction* N2 = nullptr;     // "マークポイトン全削除" (delete all marks)
  QAction* N8 = nullptr;     // "先頭を残す" (keep the head), checkable: the keep-head setting's check mark
  QMenu* N15 = nullptr;      // "全マークポイント保存・読込" (save and read all marks)
  QAction* N12 = nullptr;    // "全マークポイントを記録" (record all marks)
  QAction* N13 = nullptr;    // "記録した全マークポイントを読み込む" (read the recorded marks)
  // After them, the marks with names in other files: read the WAV's own markers, read and write a
  // label file, read and write a cue sheet.
  QAction* ReadMarkers1 = nullptr;  // "ファイル内のマーカーを読み込む" (read the markers in the file)
  QAction* ReadLabels1 = nullptr;   // "ラベルファイルを読み込む…" (read a label file…)
  QAction* WriteLabels1 = nullptr;  // "ラベルファイルに書き出す…" (write a label file…)
  QAction* ReadCue1 = nullptr;      // "CUEシートを読み込む…" (read a cue sheet…)
  QAction* WriteCue1 = nullptr;     // "CUEシートに書き出す…" (write a cue sheet…)
  // "フレーム単位で正確に切る" (cut exactly at the frames), checkable, off at start: the file commands
  // cut 8/16-bit files exactly at the marks instead of on their 200-byte chunk grid.
  QAction* ExactCut1 = nullptr;
  // "マーク名をファイル名に使う" (use the marks' names for the file names), checkable, off at start:
  // the split commands name a piece whose starting mark has a name after it.
  QAction* UseNames1 = nullptr;
  QAction* PlayMark1 = nullptr;  // "再生位置にマーク追加" (add a mark at the play position), M
  // After a separator, the editing aids: undo and redo of the mark changes, the whole file in view,
  // the view following playback, and the window listing the pieces.
  QAction* Undo1 = nullptr;        // "元に戻す" (undo), Ctrl+Z; disabled with nothing to undo
  QAction* Redo1 = nullptr;        // "やり直し" (redo), Ctrl+Y and Ctrl+Shift+Z; disabled likewise
  QAction* WholeView1 = nullptr;   // "全体" (whole file), Ctrl+0: the zoom box's "全体"
  QAction* FollowPlay1 = nullptr;  // "再生位置を追う" (follow the play position), checkable, off at start
  QAction* PieceList1 = nullptr;   // "部分一覧…" (list of pieces…), Ctrl+L
  // After a separator, "再生チャンネル" (playback channels): which channels of a file of 3 or more
  // channels play. Its items are made for each file opened (TForm1::ResetPlayChannels): the pairs
  // "1+2", "3+4", ..., a separator, the single channels "1" ... "N" (played on both sides),
  // checkable in one exclusive group; the submenu is disabled for mono and stereo files.
  QMenu* PlayChannels1 = nullptr;
  QMenu* N11 = nullptr;      // "ツール" (tools)
  QAction* kjoer1 = nullptr;  // "ノーマライズ" (normalize)
  QAction* PauseMarks1 = nullptr;  // "無音部分にマーク…" (marks at the pauses…)
  QAction* PeakView1 = nullptr;  // "ピーク表示" (peak view), checkable, off at start
  QMenu* PopupMenu1 = nullptr;  // the pop-up menu of a right click on the waveform
  QAction* N1 = nullptr;     // "ライン位置でマーク追加" (add a mark at the line)
  QAction* N6 = nullptr;     // "マーク削除" (delete mark), shows Delete
  QAction* N14 = nullptr;    // "再生" (play), shows Space, the key of PlayStop1
  QAction* FromStart1 = nullptr;  // "最初から再生" (play from the start), Home; also on the window
  QAction* PlayMark2 = nullptr;   // "再生位置にマーク追加" (add a mark at the play position), shows M
  QAction* PlayStop1 = nullptr;   // Space: play from the line when stopped, stop when playing; in no menu
};

// Builds both menus with every item in order and the keys; the menu bar, the pop-up and the
// window actions belong to window.
Form1Menus BuildForm1Menus(QWidget* window);

}  // namespace sonaveld
