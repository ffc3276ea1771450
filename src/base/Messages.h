#pragma once
#include <string>
#include <string_view>

namespace sonaveld {

// Every message text that the libraries below the windows give their callers: the engine's
// refusals and failures, the questions it asks through its hosts, and the texts of the view and
// playback. The windows keep the texts only they show in app/WindowMessages.h; sonaveld-cli's
// English usage is in cli/Usage.cpp. A "%s" stands for the path or text that FormatMessage puts
// in; a message about one file of the normalizer's list starts with that file's path.
enum class MessageId {
  // Files (%s: the path).
  kCannotOpen,    // "ファイル %s は開けません"
  kCannotRead,    // "ファイル %s を読み込めません。"
  kCannotCreate,  // "ファイル %s を作成できません"
  kCannotWrite,   // "ファイル %s に書き込めません。"
  // The WAV probe's refusals.
  kNotBits,       // not an 8, 16, 24 or 32-bit layout the system handles
  kNotChannels,   // not 1 to 8 channels
  kBadRate,       // a sample rate of 0 or below
  kNoDataChunk,   // no "data" chunk found
  // Marks (%s: the text given).
  kNotInteger,        // "'%s' は整数ではありません"
  kNotMarkPosition,   // "'%s' はマーク位置として使えません。"
  kAlreadyMarked,     // a mark at the position already
  kTooManyMarks,      // the 256th mark
  kNoMarkPoints,      // nothing to record in the mark list file
  kNoMarkFile,        // no mark list file to read
  // Label files and cue sheets (%s: the line number, from 1).
  kNotLabelLine,      // "ラベルファイルの %s 行目はラベルではありません。"
  kBadCueLine,        // "CUEシートの %s 行目が正しくありません。"
  kNoCueTracks,       // a cue sheet without a TRACK
  kCueOtherFile,      // warning: the cue sheet's FILE names another file (%s: that name)
  kCueRounding,       // the cue sheet moved marks earlier by up to %s frames (%s milliseconds)
  // The output commands.
  kBusy,              // "ファイル作成中です": a file is being written
  kNoMarks,           // no marks to cut at
  kLowSpaceQuestion,  // Yes/No: the output's volume may be short of space
  kPartialOutput,     // "%sは途中まで（%s%）です": an output stopped part-way (name, whole percent)
  kSplitStopped,      // the split into mono files stopped: none of its files were kept
  // The normalization pass (%s at the start: the entry's path).
  kBackupQuestion,    // Yes/No: "-orig" files exist; put them back?
  kNoSpace,           // the volume is short of space
  kEntryNotBits,      // "%sは 8、16、24、32ビット …"
  kEntryNotChannels,  // "%sは モノラル、ステレオ …"
  kEntryNoDataChunk,  // "%sは dataチャンクが見つかりません。…"
  kNoDot,             // the file name has no "."
  kEntryCannotWrite,  // "%sに書き込めません。" (%s: the output's path)
  kBackupTaken,       // "ファイル %s は既にあるので、…" (%s: the backup's path)
  kOutputExists,      // "%sは既にあるので、…": an entry left alone (%s: its output's path)
  kEntryIsOutput,     // "%sは …の出力なので、…": an entry that another entry writes (%s: its path)
  // The pause finder's outcome, shown by the window and the command line alike.
  kNoPauseFound,      // "無音部分が見つかりませんでした。"
  // The loudness meter (%s: the path).
  kLoudnessLowRate,   // a sample rate below 4000 Hz: the K-weighting is not defined there
  // Loudness normalization (%s at the start: the file's path).
  kLoudnessLimited,   // the true-peak ceiling held the gain back (path, ceiling dBTP, loudness reached)
  kNoLoudness,        // no integrated loudness (nothing above -70 LUFS): left alone
  kNotRemeasured,     // the output was written but could not be measured again (%s: the output)
  // The view.
  kDivisionByZero,    // "ゼロによる除算": a time ruler at sample rate 0
  // Playback notices, shown in the main window's status bar.
  kNoAudioOutput,     // no sound output; playback only advances the time
  kAudioOutputLost,   // the sound output stopped; the next playback tries again
  // Joining files.
  kJoinMismatch,      // "%sは …異なるので、つなげられません。" (%s: the file's path)
};

// The text of id as it stands, "%s" included.
std::string_view MessagePattern(MessageId id);

// The message id with text in place of its "%s" (text is not used where the message has none).
std::string FormatMessage(MessageId id, std::string_view text = {});

// The message id with first and second in place of its two "%s", in order.
std::string FormatMessage(MessageId id, std::string_view first, std::string_view second);

// The one formatting rule, for the tables of the layers above: text in place of the first "%s" of
// pattern.
std::string FormatMessage(std::string_view pattern, std::string_view text);

}  // namespace sonaveld
