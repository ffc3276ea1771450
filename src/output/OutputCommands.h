#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "document/Document.h"
#include "output/OutputHost.h"

namespace sonaveld {

// The guards of the opening sequence that come before the save dialog: "ファイル作成中です" while
// Busy, Silent without a document, "マーク(カットするポイント)指定がなされてしません" without marks.
// Ok means: close the playback device, show the dialog, then run the command.
Status CheckBeginOutput(const CreationFlags& flags, bool documentOpen, int markCount);

// The cut-edited file: the selected ranges of the ascending marks, back to back, in outPath.
OutputResult WriteCutEditedFile(const FileFields& file, const std::vector<int64_t>& marks, bool keepHead,
                                const std::string& outPath, CreationFlags& flags, OutputHost& host,
                                const OutputOptions& options = {});

// Each selected range to a file of its own: NumberedOutputName(baseName, 1), (baseName, 2), ...;
// a range that starts at a mark named in options.names is PieceOutputName(baseName, k, name) and
// holds the name as its INFO title (with keep head, the first range takes options.names.head).
OutputResult SplitSelectedRanges(const FileFields& file, const std::vector<int64_t>& marks, bool keepHead,
                                 const std::string& baseName, CreationFlags& flags, OutputHost& host,
                                 const OutputOptions& options = {});

// The whole sample area cut at every mark (SplitAtMarksPieces: on the 200-byte chunk grid for the
// 8/16-bit kinds unless options.exactCuts, exactly at the marks for the others): NumberedOutputName(baseName, 0),
// (baseName, 1), ... Keep head plays no part. Piece j > 0 starts at mark j, piece 0 at frame 1: named
// by options.names (the mark's name, head for piece 0) as in SplitSelectedRanges.
OutputResult SplitAtMarks(const FileFields& file, const std::vector<int64_t>& marks, const std::string& baseName,
                          CreationFlags& flags, OutputHost& host, const OutputOptions& options = {});

// The pieces of SplitAtMarks for which chosen[j] is true (missing entries are false), each under
// the number and name SplitAtMarks gives it; the others are not written.
OutputResult SplitChosenPieces(const FileFields& file, const std::vector<int64_t>& marks, const std::vector<bool>& chosen,
                               const std::string& baseName, CreationFlags& flags, OutputHost& host,
                               const OutputOptions& options = {});

}  // namespace sonaveld
