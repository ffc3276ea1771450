#pragma once

// The main window's texts of the marks at the pauses, the mark at the play position and the keys,
// kept together so that they can move into the message tables as one block. "%1" stands for a
// number (QString::arg).
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

// The status panel while the scan runs, and the status bar after it.
inline constexpr char kScanningPanel[] = "無音検出中";
inline constexpr char kPausesAdded[] = "無音部分に%1個のマークを追加しました。";
inline constexpr char kNoPauseFound[] = "無音部分が見つかりませんでした。";
inline constexpr char kScanStopped[] = "無音部分の検出を中止しました。";

// The scan found more pauses than the marks can take.
inline constexpr char kTooManyPauses[] =
    "無音部分が%1個見つかりました。マークは255個までです。"
    "最短の無音を長くするか、しきい値を下げてください。";

}  // namespace sonaveld::marking_texts
