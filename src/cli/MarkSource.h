#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/PauseFinder.h"
#include "base/Result.h"
#include "cli/OpenWave.h"
#include "cli/PositionText.h"
#include "marks/NamedMarks.h"

namespace sonaveld::cli {

// Where a command takes its marks from: one of --marks, --marks-file, --labels, --cue,
// --cue-marks and --pauses (with --below and --min).
struct MarkSourceArgs {
  std::optional<std::vector<PositionText>> marks;
  std::optional<std::string> marksFile;
  std::optional<std::string> labels;
  std::optional<std::string> cue;
  bool cueMarks = false;
  bool pauses = false;
  bool pauseOptions = false;  // --below or --min given
  PauseSettings pauseSettings;

  // How many sources were given.
  int Count() const;
};

// Reads a mark source option at args[i] into source, moving i onto its value. nullopt when args[i]
// is none; "" when it was read; else the text of the wrong usage.
std::optional<std::string> ParseMarkSourceOption(const std::vector<std::string>& args, size_t& i,
                                                 MarkSourceArgs& source);

// The wrong usage of the sources given, "" when there is none: more than one source, or --below /
// --min without --pauses.
std::string CheckMarkSource(const MarkSourceArgs& source);

// The marks of source for the opened WAV at wavePath (without a source: its own markers), as the
// mark store holds them (positions added one by one, the mark list file read back, the readers).
// A reader's warnings are printed on stderr; the refusal's status otherwise (Stopped when a pause
// scan was stopped). quiet turns the pause scan's progress line off.
Result<MarkSet> LoadMarks(const MarkSourceArgs& source, const OpenedWave& wave, const std::string& wavePath,
                          bool quiet);

}  // namespace sonaveld::cli
