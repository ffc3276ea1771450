#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "marks/NamedMarks.h"

namespace sonaveld {

// Parses a cue sheet for the WAV file named waveFileName (its path or its name alone). Each
// TRACK's first "INDEX 01 mm:ss:ff" (75 ff a second, mm any number of digits) gives the mark
// (mm x 60 + ss) x rate + ff x rate div 75 + 1, named by the TRACK's TITLE; an INDEX 01 at
// 00:00:00 gives no mark but names piece 00 (MarkSet::piece0Name). Only the tracks of the first
// FILE are read; a FILE naming another file than waveFileName is accepted with a warning
// ("CUEシートの FILE "X" は開いているファイルではありません。"). Keywords are case-insensitive;
// REM, PERFORMER, INDEX 00 and the other commands of the format are passed over, as are blank
// lines, a UTF-8 BOM and CR LF. All or nothing: a malformed TRACK, INDEX or FILE line, an INDEX
// outside a TRACK, or a line that is no command is refused with "CUEシートの N 行目が正しくありません。"
// (N from 1); a sheet without a TRACK with "CUEシートにトラックがありません。"; more than 255 marks
// with "マークは255個までです。". rate > 0.
Result<MarkSet> ParseCueSheet(std::string_view text, int32_t rate, std::string_view waveFileName);

// A cue sheet written for marks.
struct CueSheetText {
  std::string text;
  // The most frames by which a mark moved earlier, the INDEX times being whole 75ths of a second.
  int64_t largestShift = 0;
};

// The cue sheet of marks of the WAV file waveName (written in FILE "..." WAVE as given, normally
// the name alone): TRACK 01 at 00:00:00 (the first mark's track when that mark is frame 1, else
// piece 00's, titled piece0Name when it is not empty), then one TRACK per mark, TITLE when named,
// INDEX 01 at c = (mark - 1) x 75 div rate: c div 4500, c div 75 mod 60, c mod 75. Lines end in
// CR LF; a '"' inside a name becomes '\'' and line breaks become spaces. rate > 0.
CueSheetText BuildCueSheet(const std::vector<NamedMark>& marks, int32_t rate, std::string_view waveName,
                           std::string_view piece0Name = {});

}  // namespace sonaveld
