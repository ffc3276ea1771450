#pragma once

// The captions of the main window's items for the marks at the pauses, the mark at the play
// position and the keys: menu items, the settings dialog and the status panel while the scan
// runs. Their messages are in app/WindowMessages.h and base/Messages.h.
namespace sonaveld::marking_texts {

// Menu items.
inline constexpr char kPauseMarksItem[] = "無音部分にマーク…";
inline constexpr char kPlayMarkItem[] = "再生位置にマーク追加";
inline constexpr char kFromStartItem[] = "最初から再生";

// The settings dialog of the pause scan.
inline constexpr char kPauseDialogTitle[] = "無音部分にマーク";
inline constexpr char kThresholdLabel[] = "しきい値 [dBFS]";
inline constexpr char kShortestLabel[] = "最短の無音 [ms]";
inline constexpr char kOkButton[] = "OK";
inline constexpr char kCancelButton[] = "キャンセル";

// The status panel while the scan runs.
inline constexpr char kScanningPanel[] = "無音検出中";

}  // namespace sonaveld::marking_texts
