#include "base/Messages.h"

namespace sonaveld {

std::string_view MessagePattern(MessageId id) {
  switch (id) {
    case MessageId::kCannotOpen: return "ファイル %s は開けません";
    case MessageId::kCannotRead: return "ファイル %s を読み込めません。";
    case MessageId::kCannotCreate: return "ファイル %s を作成できません";
    case MessageId::kCannotWrite: return "ファイル %s に書き込めません。";
    case MessageId::kNotBits: return "8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。";
    case MessageId::kNotChannels: return "1～8チャンネルの WAVファイルではない可能性があります。確認して下さい。";
    case MessageId::kBadRate: return "周波数[Hz]が正しくありません。確認して下さい。";
    case MessageId::kNoDataChunk: return "dataチャンクが見つかりません。WAVファイルではない可能性があります。";
    case MessageId::kNotInteger: return "'%s' は整数ではありません";
    case MessageId::kNotMarkPosition: return "'%s' はマーク位置として使えません。";
    case MessageId::kAlreadyMarked: return "この位置ではマーク済みです。";
    case MessageId::kTooManyMarks: return "マークは255個までです。";
    case MessageId::kNoMarkPoints: return "マークポイトンがありません。ポイントを指定して下さい。";
    case MessageId::kNoMarkFile: return "マークポイトンを記録しているファイルがありません。";
    case MessageId::kNotLabelLine: return "ラベルファイルの %s 行目はラベルではありません。";
    case MessageId::kBadCueLine: return "CUEシートの %s 行目が正しくありません。";
    case MessageId::kNoCueTracks: return "CUEシートにトラックがありません。";
    case MessageId::kCueOtherFile: return "CUEシートの FILE \"%s\" は開いているファイルではありません。";
    case MessageId::kCueRounding:
      return "CUEシートの時刻は1/75秒単位のため、マーク位置は最大 %s サンプル（%s ミリ秒）前になります。";
    case MessageId::kBusy: return "ファイル作成中です";
    case MessageId::kNoMarks: return "マーク(カットするポイント)指定がなされてしません";
    case MessageId::kLowSpaceQuestion:
      return "保存しようとしているドライブの容量が不足している可能性があります。保存しますか？";
    case MessageId::kPartialOutput: return "%sは途中まで（%s%）です";
    case MessageId::kSplitStopped: return "チャンネルの分割を中止しました。ファイルは作成されていません。";
    case MessageId::kBackupQuestion:
      return "「*-orig.wav」があるのでノーマライズできません。「*-orig.wav」を「*.wav」にremaneしますか。";
    case MessageId::kNoSpace: return "ディスクの空き容量が不足しています。処理を中止します。";
    case MessageId::kEntryNotBits:
      return "%sは 8、16、24、32ビット WAVファイルではない可能性があります。確認して下さい。";
    case MessageId::kEntryNotChannels:
      return "%sは モノラル、ステレオ WAVファイルではない可能性があります。確認して下さい。";
    case MessageId::kEntryNoDataChunk:
      return "%sは dataチャンクが見つかりません。WAVファイルではない可能性があります。";
    case MessageId::kNoDot: return "WAVファイルに「.」がありません。停止します。";
    case MessageId::kEntryCannotWrite: return "%sに書き込めません。";
    case MessageId::kBackupTaken: return "ファイル %s は既にあるので、上書きしないようにノーマライズを中止します。";
    case MessageId::kOutputExists: return "%sは既にあるので、ノーマライズしません。";
    case MessageId::kEntryIsOutput: return "%sは一覧にある別のファイルの出力なので、ノーマライズしません。";
    case MessageId::kNoPauseFound: return "無音部分が見つかりませんでした。";
    case MessageId::kLoudnessLowRate: return "ファイル %s はサンプリング周波数が 4000 Hz 未満なので、ラウドネスを測定できません。";
    case MessageId::kLoudnessLimited: return "%sはトゥルーピークの上限 %s dBTP で利得を抑えたので、%s LUFS になりました。";
    case MessageId::kNoLoudness: return "%sは積分ラウドネスがない（-70 LUFS を超える部分がない）ので、そのままにします。";
    case MessageId::kNotRemeasured: return "%sは書き込みましたが、測り直せませんでした。";
    case MessageId::kDivisionByZero: return "ゼロによる除算";
    case MessageId::kNoAudioOutput: return "音声出力がありません。再生は時間のみ進みます。";
    case MessageId::kAudioOutputLost: return "音声出力が停止しました。次の再生で音声出力を再び試みます。";
    case MessageId::kJoinMismatch: return "%sは最初のファイルとビット数、周波数、チャンネル数のいずれかが異なるので、つなげられません。";
  }
  return {};
}

std::string FormatMessage(MessageId id, std::string_view text) { return FormatMessage(MessagePattern(id), text); }

std::string FormatMessage(MessageId id, std::string_view first, std::string_view second) {
  // The second is put into the rest of the pattern only, so that a "%s" inside the first text
  // (a file name may hold one) is never taken for its place.
  const std::string_view pattern = MessagePattern(id);
  const auto at = pattern.find("%s");
  if (at == std::string_view::npos) return std::string(pattern);
  return std::string(pattern.substr(0, at + 2)).replace(at, 2, first) +
         FormatMessage(pattern.substr(at + 2), second);
}

std::string FormatMessage(std::string_view pattern, std::string_view text) {
  std::string message(pattern);
  const auto at = message.find("%s");
  if (at != std::string::npos) message.replace(at, 2, text);
  return message;
}

}  // namespace sonaveld
