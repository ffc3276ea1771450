#include "app/Form1Menus.h"

#include <QMenu>
#include <QMenuBar>

#include "app/MarkingTexts.h"

namespace sonaveld {
namespace {

QAction* Item(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

// A key held down runs its command once: a repeated M, Space or Delete would add marks, toggle
// playback or stack refusals.
void SetKey(QAction* action, const QKeySequence& key) {
  action->setShortcut(key);
  action->setAutoRepeat(false);
}

QAction* Item(QMenu* menu, const char* name, const char* caption, const QKeySequence& key) {
  QAction* action = Item(menu, name, QString::fromUtf8(caption));
  SetKey(action, key);
  return action;
}

QMenu* SubMenu(QMenuBar* bar, const char* name, const QString& caption) {
  QMenu* menu = bar->addMenu(caption);
  menu->setObjectName(QString::fromLatin1(name));
  return menu;
}

// The keys of the window's first items; the pop-up's shown ones mirror the menu bar's.
void AddKeys(Form1Menus& m) {
  SetKey(m.Open1, QKeySequence(Qt::CTRL | Qt::Key_O));
  SetKey(m.N3, QKeySequence(Qt::CTRL | Qt::Key_S));
  SetKey(m.N7, Qt::Key_Delete);
  SetKey(m.N6, Qt::Key_Delete);
  SetKey(m.N14, Qt::Key_Space);
}

}  // namespace

Form1Menus BuildForm1Menus(QWidget* window) {
  Form1Menus m;
  m.MainMenu1 = new QMenuBar(window);
  m.MainMenu1->setObjectName(QStringLiteral("MainMenu1"));

  m.File1 = SubMenu(m.MainMenu1, "File1", QStringLiteral("ファイル"));
  m.Open1 = Item(m.File1, "Open1", QStringLiteral("開く"));
  m.N3 = Item(m.File1, "N3", QStringLiteral("カット編集ファイル作成保存"));
  m.N10 = Item(m.File1, "N10", QStringLiteral("選択範囲を分割して保存"));
  m.N9 = Item(m.File1, "N9", QStringLiteral("マーク位置で分割して保存（選択範囲と非選択範囲）"));
  m.Exit1 = Item(m.File1, "Exit1", QStringLiteral("終了"));
  m.File1->addSeparator();
  m.MarkerCopy1 = Item(m.File1, "MarkerCopy1", QStringLiteral("マーカー付きで保存…"));
  m.JoinOpen1 = Item(m.File1, "JoinOpen1", QStringLiteral("つなげて開く…"));

  m.Edit1 = SubMenu(m.MainMenu1, "Edit1", QStringLiteral("編集"));
  m.N5 = Item(m.Edit1, "N5", QStringLiteral("ライン位置でマーク追加"));
  m.N7 = Item(m.Edit1, "N7", QStringLiteral("マーク削除"));
  m.N2 = Item(m.Edit1, "N2", QStringLiteral("マークポイトン全削除"));
  m.N8 = Item(m.Edit1, "N8", QStringLiteral("先頭を残す"));
  m.N8->setCheckable(true);
  m.N15 = m.Edit1->addMenu(QStringLiteral("全マークポイント保存・読込"));
  m.N15->setObjectName(QStringLiteral("N15"));
  m.N12 = Item(m.N15, "N12", QStringLiteral("全マークポイントを記録"));
  m.N13 = Item(m.N15, "N13", QStringLiteral("記録した全マークポイントを読み込む"));
  m.N15->addSeparator();
  m.ReadMarkers1 = Item(m.N15, "ReadMarkers1", QStringLiteral("ファイル内のマーカーを読み込む"));
  m.ReadLabels1 = Item(m.N15, "ReadLabels1", QStringLiteral("ラベルファイルを読み込む…"));
  m.WriteLabels1 = Item(m.N15, "WriteLabels1", QStringLiteral("ラベルファイルに書き出す…"));
  m.ReadCue1 = Item(m.N15, "ReadCue1", QStringLiteral("CUEシートを読み込む…"));
  m.WriteCue1 = Item(m.N15, "WriteCue1", QStringLiteral("CUEシートに書き出す…"));
  m.ExactCut1 = Item(m.Edit1, "ExactCut1", QStringLiteral("フレーム単位で正確に切る"));
  m.ExactCut1->setCheckable(true);
  m.UseNames1 = Item(m.Edit1, "UseNames1", QStringLiteral("マーク名をファイル名に使う"));
  m.UseNames1->setCheckable(true);
  m.Edit1->addSeparator();
  m.PlayMark1 = Item(m.Edit1, "PlayMark1", marking_texts::kPlayMarkItem, Qt::Key_M);
  m.Edit1->addSeparator();
  m.Undo1 = Item(m.Edit1, "Undo1", "元に戻す", QKeySequence(Qt::CTRL | Qt::Key_Z));
  m.Redo1 = Item(m.Edit1, "Redo1", "やり直し", QKeySequence(Qt::CTRL | Qt::Key_Y));
  m.Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  m.Undo1->setEnabled(false);
  m.Redo1->setEnabled(false);
  m.Edit1->addSeparator();
  m.WholeView1 = Item(m.Edit1, "WholeView1", "全体", QKeySequence(Qt::CTRL | Qt::Key_0));
  m.FollowPlay1 = Item(m.Edit1, "FollowPlay1", QStringLiteral("再生位置を追う"));
  m.FollowPlay1->setCheckable(true);
  m.PieceList1 = Item(m.Edit1, "PieceList1", "部分一覧…", QKeySequence(Qt::CTRL | Qt::Key_L));
  m.Edit1->addSeparator();
  m.PlayChannels1 = m.Edit1->addMenu(QStringLiteral("再生チャンネル"));
  m.PlayChannels1->setObjectName(QStringLiteral("PlayChannels1"));
  m.PlayChannels1->setEnabled(false);

  m.N11 = SubMenu(m.MainMenu1, "N11", QStringLiteral("ツール"));
  m.kjoer1 = Item(m.N11, "kjoer1", QStringLiteral("ノーマライズ"));
  m.PauseMarks1 = Item(m.N11, "PauseMarks1", QString::fromUtf8(marking_texts::kPauseMarksItem));
  m.PeakView1 = Item(m.N11, "PeakView1", QStringLiteral("ピーク表示"));
  m.PeakView1->setCheckable(true);

  m.PopupMenu1 = new QMenu(window);
  m.PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  m.N1 = Item(m.PopupMenu1, "N1", QStringLiteral("ライン位置でマーク追加"));
  m.N6 = Item(m.PopupMenu1, "N6", QStringLiteral("マーク削除"));
  m.N14 = Item(m.PopupMenu1, "N14", QStringLiteral("再生"));
  m.PopupMenu1->addSeparator();
  m.FromStart1 = Item(m.PopupMenu1, "FromStart1", marking_texts::kFromStartItem, Qt::Key_Home);
  m.PlayMark2 = Item(m.PopupMenu1, "PlayMark2", marking_texts::kPlayMarkItem, Qt::Key_M);

  m.PlayStop1 = new QAction(window);
  m.PlayStop1->setObjectName(QStringLiteral("PlayStop1"));
  SetKey(m.PlayStop1, Qt::Key_Space);
  window->addAction(m.PlayStop1);
  window->addAction(m.FromStart1);
  AddKeys(m);
  return m;
}

}  // namespace sonaveld
