#include "cli/MarkSource.h"

#include "cli/Commands.h"
#include "cli/PauseScan.h"
#include "marks/EmbeddedMarkers.h"
#include "marks/MarkFiles.h"
#include "marks/MarkListFile.h"
#include "marks/MarkStore.h"

namespace sonaveld::cli {
namespace {

constexpr const char* kPositionsHelp = "' is neither a frame number nor a time (1:30, 1:30.25, 0:01:30.250, 90.25s)";

// Adds the positions one by one, times turned into frames of the file, as the add command does at
// the cursor line.
Status AddMarks(const std::vector<PositionText>& positions, const WaveHeader& header, MarkStore& store) {
  for (const PositionText& position : positions) {
    const PositionFrame at = FrameOf(position, header);
    if (!at.status.ok()) return at.status;
    if (Status added = store.Add(at.frame); !added.ok()) return added;
  }
  return Status::Ok();
}

// Adds the frames one by one (the 256th is refused as the add command refuses it).
Status AddFrames(const std::vector<int64_t>& frames, MarkStore& store) {
  for (const int64_t frame : frames) {
    if (Status added = store.Add(frame); !added.ok()) return added;
  }
  return Status::Ok();
}

// The marks of the sources that fill a store: --marks, --marks-file and --pauses.
Result<MarkSet> StoreMarks(const MarkSourceArgs& source, const OpenedWave& wave, const std::string& wavePath,
                           bool quiet) {
  MarkStore store;
  Status status;
  if (source.marks) {
    status = AddMarks(*source.marks, wave.header, store);
  } else if (source.marksFile) {
    status = ReadMarkListFrom(*source.marksFile, store);
  } else {
    const PauseResult found = ScanPauses(wave, source.pauseSettings, quiet, wavePath);
    status = found.status.ok() ? AddFrames(found.marks, store) : found.status;
  }
  if (!status.ok()) return {status, {}};
  return {Status::Ok(), {store.Named(), {}, {}}};
}

}  // namespace

int MarkSourceArgs::Count() const {
  return (marks ? 1 : 0) + (marksFile ? 1 : 0) + (labels ? 1 : 0) + (cue ? 1 : 0) + (cueMarks ? 1 : 0) +
         (pauses ? 1 : 0);
}

std::optional<std::string> ParseMarkSourceOption(const std::vector<std::string>& args, size_t& i,
                                                 MarkSourceArgs& source) {
  const std::string& a = args[i];
  if (const auto option = ParsePauseOption(args, i, source.pauseSettings)) {
    if (option->empty()) source.pauseOptions = true;
    return option;
  }
  if (a == "--pauses") {
    source.pauses = true;
    return "";
  }
  if (a == "--cue-marks") {
    source.cueMarks = true;
    return "";
  }
  if (a != "--marks" && a != "--marks-file" && a != "--labels" && a != "--cue") return std::nullopt;
  if (i + 1 >= args.size()) return a + " needs a value";
  const std::string& value = args[++i];
  if (a == "--marks") {
    std::string bad;
    source.marks = ParsePositionList(value, &bad);
    if (!source.marks) return "'" + bad + kPositionsHelp;
  }
  if (a == "--marks-file") source.marksFile = value;
  if (a == "--labels") source.labels = value;
  if (a == "--cue") source.cue = value;
  return "";
}

std::string CheckMarkSource(const MarkSourceArgs& source) {
  if (source.marks && source.marksFile) return "--marks and --marks-file exclude each other";
  if (source.pauses && (source.marks || source.marksFile)) return "--pauses excludes --marks and --marks-file";
  if (source.Count() > 1) return "give one mark source: --marks, --marks-file, --labels, --cue, --cue-marks or --pauses";
  if (source.pauseOptions && !source.pauses) return "--below and --min need --pauses";
  return {};
}

Result<MarkSet> LoadMarks(const MarkSourceArgs& source, const OpenedWave& wave, const std::string& wavePath,
                          bool quiet) {
  if (source.marks || source.marksFile || source.pauses) return StoreMarks(source, wave, wavePath, quiet);
  const int32_t rate = wave.header.SampleRate;
  Result<MarkSet> read = source.labels ? ReadLabelFile(*source.labels, rate)
                         : source.cue  ? ReadCueSheetFile(*source.cue, rate, wavePath)
                                       : ReadEmbeddedMarkers(*wave.source, wave.header, wavePath);
  for (const std::string& warning : read.value.warnings) PrintMessage(warning);
  return read;
}

}  // namespace sonaveld::cli
