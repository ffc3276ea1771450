#pragma once

// The Japanese texts of sonaveld-cli itself (the engine's messages live with the engine).
namespace sonaveld::cli {

// A time given as a mark lies after the end of the file: the text given, then the file's length.
constexpr char kTimePastEndMessage[] = "'%s' はファイルの長さ %s を超えています。";
// --output-dir names something that is not a folder (%s: as given).
constexpr char kNotAFolderMessage[] = "%s はフォルダではありません。";
// After the line that names a wrong usage.
constexpr char kMoreHelpLine[] = "詳しくは sonaveld-cli --help";
// Before the estimate of the time left on the progress line.
constexpr char kTimeLeftLabel[] = "残り";

// Loudness mode: the true-peak ceiling held a file's gain back (%s: the file, the ceiling in dBTP,
// the loudness reached in LUFS).
constexpr char kLimitedMessage[] = "%sはトゥルーピークの上限 %s dBTP で利得を抑えたので、%s LUFS になりました。";
// Loudness mode: a file with no integrated loudness (nothing above -70 LUFS) is left alone.
constexpr char kNoLoudnessMessage[] = "%sは積分ラウドネスがない（-70 LUFS を超える部分がない）ので、そのままにします。";
// The output was written but could not be measured again (%s: the output).
constexpr char kNotRemeasuredMessage[] = "%sは書き込みましたが、測り直せませんでした。";

}  // namespace sonaveld::cli
