#include "app/WindowMessages.h"

#include "base/Messages.h"

namespace sonaveld {
namespace {

std::string_view Pattern(WindowMessageId id) {
  switch (id) {
    case WindowMessageId::kNoMarkWhilePlaying: return "再生中はマークできません。停止してから指定してください。";
    case WindowMessageId::kNoTimeLine:
      return "タイムラインの指定がありません。タイムラインを指定してからマークして下さい。";
    case WindowMessageId::kNotMarkedHere:
      return "この位置ではマークされていません。タイムラインをマーク位置に合わせてください。";
    case WindowMessageId::kNoDeleteWhilePlaying:
      return "再生中はマークの削除ができません。停止してから指定してください。";
    case WindowMessageId::kZoomBelowOne: return "拡大率は1以上の整数で指定して下さい。";
    case WindowMessageId::kZoomTooLarge: return "拡大率は1から%sの整数で指定して下さい。";
    case WindowMessageId::kPausesAdded: return "無音部分に%s個のマークを追加しました。";
    case WindowMessageId::kScanStopped: return "無音部分の検出を中止しました。";
    case WindowMessageId::kTooManyPauses:
      return "無音部分が%s個見つかりました。マークは255個までです。"
             "最短の無音を長くするか、しきい値を下げてください。";
    case WindowMessageId::kMarkersInFile: return "マーカー%s個（編集 → 全マークポイント保存・読込 で読み込めます）";
    case WindowMessageId::kNoMarksToRead: return "読み込めるマークがありません。";
    case WindowMessageId::kNoPieceChecked: return "保存する部分にチェックを付けて下さい。";
    case WindowMessageId::kAlreadyListed: return "%sは既に登録されています。追加できません。";
    case WindowMessageId::kTargetOutOfRange:
      return "目標ラウドネスは -70 から -5 までの数値（LUFS）で指定して下さい。";
    case WindowMessageId::kCeilingOutOfRange:
      return "トゥルーピークの上限は -9 から 0 までの数値（dBTP）で指定して下さい。";
    case WindowMessageId::kNoReport: return "保存するレポートがありません。開始か測定の後で保存して下さい。";
    case WindowMessageId::kPercentNotWhole: return "パーセントは1から150の整数で指定して下さい。";
  }
  return {};
}

}  // namespace

std::string FormatMessage(WindowMessageId id, std::string_view text) { return FormatMessage(Pattern(id), text); }

}  // namespace sonaveld
