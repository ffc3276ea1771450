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

}  // namespace sonaveld::cli
