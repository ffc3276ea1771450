// cut, split and split-marks: the three output commands of the main window, without the window.
#include <cstdio>
#include <optional>

#include "cli/CliOutputHost.h"
#include "cli/Commands.h"
#include "cli/OpenWave.h"
#include "cli/PauseScan.h"
#include "cli/PositionText.h"
#include "cli/ProgressLine.h"
#include "document/Document.h"
#include "marks/MarkListFile.h"
#include "marks/MarkStore.h"
#include "output/OutputCommands.h"

namespace sonaveld::cli {
namespace {

struct CutArgs {
  std::string wave;
  std::string out;
  std::optional<std::vector<PositionText>> marks;
  std::optional<std::string> marksFile;
  bool pauses = false;  // the marks are those of the pauses found
  bool pauseOptions = false;  // --below or --min given
  PauseSettings pauseSettings;
  bool keepHead = false;
  bool exact = false;
  bool yes = false;
  bool quiet = false;
};

// Parses "WAV -o OUT [--marks …|--marks-file …|--pauses [--below DB] [--min MS]] [--keep-head]
// [--exact] [--yes] [--quiet]"; an error text on wrong usage, a malformed position among them.
std::string ParseCutArgs(const std::vector<std::string>& args, bool allowKeepHead, CutArgs* parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if ((a == "-o" || a == "--marks" || a == "--marks-file") && !hasValue) return a + " needs a value";
    if (const auto option = ParsePauseOption(args, i, parsed->pauseSettings)) {
      if (!option->empty()) return *option;
      parsed->pauseOptions = true;
    } else if (a == "--pauses") {
      parsed->pauses = true;
    } else if (a == "-o") {
      parsed->out = args[++i];
    } else if (a == "--marks") {
      std::string bad;
      parsed->marks = ParsePositionList(args[++i], &bad);
      if (!parsed->marks) return "'" + bad + "' is neither a frame number nor a time (1:30, 1:30.25, 0:01:30.250, 90.25s)";
    } else if (a == "--marks-file") {
      parsed->marksFile = args[++i];
    } else if (a == "--keep-head" && allowKeepHead) {
      parsed->keepHead = true;
    } else if (a == "--exact") {
      parsed->exact = true;
    } else if (a == "--yes") {
      parsed->yes = true;
    } else if (a == "--quiet") {
      parsed->quiet = true;
    } else if (a.starts_with("-") && a != "-") {
      return "unknown option " + a;
    } else if (parsed->wave.empty()) {
      parsed->wave = a;
    } else {
      return "more than one WAV file";
    }
  }
  if (parsed->wave.empty()) return "no WAV file";
  if (parsed->out.empty()) return "no output name (-o)";
  if (parsed->marks && parsed->marksFile) return "--marks and --marks-file exclude each other";
  if (parsed->pauses && (parsed->marks || parsed->marksFile)) return "--pauses excludes --marks and --marks-file";
  if (parsed->pauseOptions && !parsed->pauses) return "--below and --min need --pauses";
  return {};
}

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

enum class Command { kCut, kSplit, kSplitMarks };

int RunOutputCommand(const std::vector<std::string>& args, Command command) {
  CutArgs parsed;
  if (std::string error = ParseCutArgs(args, command != Command::kSplitMarks, &parsed); !error.empty()) {
    return UsageError(error);
  }
  FileFields file;
  file.WaveFileName = parsed.wave;
  std::vector<int64_t> pauses;
  {
    const OpenedWave wave = OpenWave(parsed.wave);  // closed again before the command opens it
    if (!wave.source) return kExitRefused;
    file.Header = wave.header;
    if (parsed.pauses) {
      const PauseResult found = ScanPauses(wave, parsed.pauseSettings, parsed.quiet, parsed.wave);
      if (found.status.failed()) PrintMessage(found.status.message());
      if (!found.status.ok()) return kExitRefused;
      // Nothing to cut at: said, and nothing written (not a failure).
      if (found.marks.empty()) {
        PrintMessage(FormatMessage(MessageId::kNoPauseFound));
        return kExitDone;
      }
      pauses = found.marks;
    }
  }
  MarkStore marks;
  marks.SetKeepHead(parsed.keepHead);
  Status status = parsed.marks       ? AddMarks(*parsed.marks, file.Header, marks)
                  : parsed.marksFile ? ReadMarkListFrom(*parsed.marksFile, marks)
                                     : AddFrames(pauses, marks);
  CreationFlags flags;
  if (status.ok()) status = CheckBeginOutput(flags, true, marks.Count());
  if (!status.ok()) {
    PrintMessage(status.message());
    return kExitRefused;
  }
  ProgressLine progress(parsed.quiet);
  CliOutputHost host(parsed.yes, flags, progress, file.Header.FileSize);  // Ctrl+C is caught from here on
  progress.Update(0, file.Header.FileSize);
  OutputOptions options;
  options.exactCuts = parsed.exact;
  const std::vector<int64_t> sorted = marks.Sorted();
  const bool keepHead = marks.KeepHead();
  const OutputResult result =
      command == Command::kCut     ? WriteCutEditedFile(file, sorted, keepHead, parsed.out, flags, host, options)
      : command == Command::kSplit ? SplitSelectedRanges(file, sorted, keepHead, parsed.out, flags, host, options)
                                   : SplitAtMarks(file, sorted, parsed.out, flags, host, options);
  if (result.status.failed()) PrintMessage(result.status.message());
  // A stop leaves the file it cut short, a valid WAV: said on stderr, never listed as written.
  if (result.partial) PrintMessage(result.partial->Message(result.partial->path));
  return result.status.ok() ? kExitDone : kExitRefused;
}

}  // namespace

int RunCut(const std::vector<std::string>& args) { return RunOutputCommand(args, Command::kCut); }
int RunSplit(const std::vector<std::string>& args) { return RunOutputCommand(args, Command::kSplit); }
int RunSplitMarks(const std::vector<std::string>& args) { return RunOutputCommand(args, Command::kSplitMarks); }

}  // namespace sonaveld::cli
