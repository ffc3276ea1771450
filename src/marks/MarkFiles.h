#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Result.h"
#include "marks/NamedMarks.h"

namespace sonaveld {

// The whole text of the file at path, read through one source opened for this read (a folder, a
// FIFO or a device refused at once). "ファイル %s は開けません" / "ファイル %s を読み込めません。".
Result<std::string> ReadTextFile(const std::string& path);

// Writes text as the whole file at path through OutputFile: put in place only when complete, an
// earlier file of that name untouched on failure. "ファイル %s を作成できません" / "… に書き込めません。".
Status WriteTextFile(const std::string& path, std::string_view text);

// Reads the label file at path for a WAV of rate (ParseLabelFile).
Result<MarkSet> ReadLabelFile(const std::string& path, int32_t rate);

// Reads the cue sheet at path for the WAV at wavePath of rate (ParseCueSheet).
Result<MarkSet> ReadCueSheetFile(const std::string& path, int32_t rate, const std::string& wavePath);

}  // namespace sonaveld
