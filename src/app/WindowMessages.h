#pragma once
#include <string>
#include <string_view>

namespace sonaveld {

// The message box and status bar texts that only the windows give (they refuse these commands
// themselves, or tell their outcome). Every other text they show comes from the libraries below
// them (base/Messages.h). Captions of menus, buttons and dialogs are layout, kept where the
// controls are built.
enum class WindowMessageId {
  // Main window, mark commands.
  kNoMarkWhilePlaying,    // "再生中はマークできません。…": add a mark while playing
  kNoTimeLine,            // "タイムラインの指定がありません。…": add a mark with no cursor line showing
  kNotMarkedHere,         // "この位置ではマークされていません。…": delete where no marker is
  kNoDeleteWhilePlaying,  // "再生中はマークの削除ができません。…": delete all while playing
  // Main window, zoom box.
  kZoomBelowOne,          // "拡大率は1以上の整数で指定して下さい。": a zoom of 0 or below typed
  kZoomTooLarge,          // "拡大率は1から%sの整数で指定して下さい。" (%s: the widest zoom): a larger one typed
  // Main window, marks at the pauses (status bar texts but the last, %s: a count).
  kPausesAdded,           // "無音部分に%s個のマークを追加しました。"
  kScanStopped,           // "無音部分の検出を中止しました。"
  kTooManyPauses,         // "無音部分が%s個見つかりました。マークは255個までです。…" (a message box)
  // Main window, marks with names in other files.
  kMarkersInFile,         // "マーカー%s個（編集 → 全マークポイント保存・読込 で読み込めます）" (status bar, on open)
  kNoMarksToRead,         // "読み込めるマークがありません。": a reader found none; the marks stay
  // The list of pieces.
  kNoPieceChecked,        // "保存する部分にチェックを付けて下さい。": "選んだ部分を保存…" with none checked
  // Normalizer window, adding files.
  kAlreadyListed,         // "%sは既に登録されています。追加できません。" (%s: the path)
  // Normalizer window, start.
  kTargetOutOfRange,      // the loudness target box holds no number in -70..-5
  kCeilingOutOfRange,     // the true-peak ceiling box holds no number in -9..0
  kNoReport,              // "レポート保存" before any loudness pass or measurement
  kPercentNotWhole,       // "パーセントは1から150の整数で指定して下さい。": the box holds no whole number
};

// The window message id with text in place of its "%s" (the formatting of base/Messages.h).
std::string FormatMessage(WindowMessageId id, std::string_view text = {});

}  // namespace sonaveld
