#pragma once
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "normalizer/NormalizeTypes.h"

namespace sonaveld {

// One row of the report of a normalize run: one per file, in list order. A figure that does not
// apply is empty (CSV) or null (JSON); a loudness of -infinity is "-inf" (CSV) or null (JSON).
struct ReportRow {
  std::string file;
  std::string output;  // the file written ("" when none)
  std::optional<double> integratedLufs, lraLu, truePeakDbtp, gainDb;
  std::optional<bool> limited;
  std::optional<double> outputIntegratedLufs, outputTruePeakDbtp;
  std::string status;  // ok, unchanged, refused, failed, stopped
  std::string message;
  // Peak and average passes only: each channel's chosen level (dBFS), the second channel's gain
  // (gainDb holds the first's) and the samples the gain clamped, by channel.
  std::optional<double> levelLeftDbfs, levelRightDbfs, gainRightDb;
  std::optional<int64_t> clippedLeft, clippedRight;
  // A file of 3 to 8 channels: the same figures of its third channel on, in file order (the first
  // two are the left and right ones above).
  std::vector<double> levelMoreDbfs, gainMoreDb;
  std::vector<int64_t> clippedMore;
};

// Puts what a peak or average pass did to an entry into row: status ok, each channel's level,
// gain and clipped samples (the second channel's only for 2 channels or more, the third's on in
// the "More" lists), limited false.
void FillLevels(ReportRow& row, const EntryFigures& figures);

// The report's columns: those of every report, then those the peak and average reports add, then
// for a report with files of more than two channels (channels: the most of any row) three for
// each further channel n: level_chn_dbfs, gain_chn_db, clipped_chn.
std::vector<std::string> ReportColumns(bool levels, int channels = 2);

// The most channels of any row's levels (2 when none has more).
int ReportChannels(const std::vector<ReportRow>& rows);

// The header line of a CSV report (with or without the level columns), without a newline.
std::string CsvHeader(bool levels, int channels = 2);
// One row as a CSV line or as one JSON object (JSON Lines), without a newline.
std::string CsvLine(const ReportRow& row, bool levels, int channels = 2);
std::string JsonLine(const ReportRow& row, bool levels, int channels = 2);

// True when a report can be created at path (tried with its temporary name, removed again): the
// run checks it before any work, so a long pass does not end without its report.
bool CanWriteReport(const std::string& path);

// Writes the rows to path, CSV or JSON Lines by its extension (.csv, .jsonl): written beside it
// under a temporary name and renamed once complete. false when it could not be written (nothing is
// left under path then).
bool WriteReport(const std::string& path, const std::vector<ReportRow>& rows, bool levels);

}  // namespace sonaveld
