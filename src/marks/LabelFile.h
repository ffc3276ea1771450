#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "marks/NamedMarks.h"

namespace sonaveld {

// Parses an Audacity label file: lines "start<TAB>end<TAB>name" (the name may be missing), the
// times seconds with a decimal point. A label gives the mark trunc(start x rate) + 1, named; a
// region (end > start) also gives an unnamed mark at trunc(end x rate) + 1. Blank lines and the
// frequency lines of spectral labels ("\<TAB>low<TAB>high") are passed over; a UTF-8 BOM and CR LF
// are allowed. All or nothing: any other line, or an end before its start, is refused with
// "ラベルファイルの N 行目はラベルではありません。" (N from 1), and more than 255 marks with
// "マークは255個までです。". rate > 0.
Result<MarkSet> ParseLabelFile(std::string_view text, int32_t rate);

// A label file of one point label per mark, "start<TAB>start<TAB>name" and LF, start as
// SecondsTextOfFrame gives it, so that ParseLabelFile reads the same marks back. Tabs and line
// breaks inside a name become spaces.
std::string LabelFileText(const std::vector<NamedMark>& marks, int32_t rate);

}  // namespace sonaveld
