// cut, split and split-marks: the three output commands of the main window, without the window;
// and mark, the copy with markers.
#include <cstdio>
#include <optional>

#include "cli/CliOutputHost.h"
#include "cli/Commands.h"
#include "cli/OpenWave.h"
#include "cli/MarkSource.h"
#include "cli/PositionText.h"
#include "cli/ProgressLine.h"
#include "cli/WaveOperand.h"
#include "document/Document.h"
#include "marks/MarkStore.h"
#include "output/MarkerCopy.h"
#include "output/OutputCommands.h"

namespace sonaveld::cli {
namespace {

enum class Command { kCut, kSplit, kSplitMarks, kMark };

struct CutArgs {
  std::string wave;
  std::string out;
  MarkSourceArgs source;
  bool keepHead = false;
  bool exact = false;
  bool names = false;  // pieces named by their marks (split, split-marks)
  bool yes = false;
  bool quiet = false;
};

// Parses "WAV -o OUT [mark source] [--keep-head] [--exact] [--names] [--yes] [--quiet]" (split-marks
// without --keep-head; cut without --names; mark without any of the three, and with a mark source);
// an error text on wrong usage, a
// malformed position among them.
std::string ParseCutArgs(const std::vector<std::string>& args, Command command, CutArgs* parsed) {
  const bool allowKeepHead = command == Command::kCut || command == Command::kSplit;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o" && i + 1 >= args.size()) return a + " needs a value";
    if (const auto option = ParseMarkSourceOption(args, i, parsed->source)) {
      if (!option->empty()) return *option;
    } else if (a == "-o") {
      parsed->out = args[++i];
    } else if (a == "--keep-head" && allowKeepHead) {
      parsed->keepHead = true;
    } else if (a == "--exact" && command != Command::kMark) {
      parsed->exact = true;
    } else if (a == "--names" && (command == Command::kSplit || command == Command::kSplitMarks)) {
      parsed->names = true;
    } else if (a == "--yes") {
      parsed->yes = true;
    } else if (a == "--quiet") {
      parsed->quiet = true;
    } else if (std::string error = TakeWaveOperand(a, parsed->wave); !error.empty()) {
      return error;
    }
  }
  if (parsed->wave.empty()) return "no WAV file";
  if (parsed->out.empty()) return "no output name (-o)";
  if (command == Command::kMark && parsed->source.Count() == 0) return "mark needs a mark source";
  return CheckMarkSource(parsed->source);
}

int RunOutputCommand(const std::vector<std::string>& args, Command command) {
  CutArgs parsed;
  if (std::string error = ParseCutArgs(args, command, &parsed); !error.empty()) {
    return UsageError(error);
  }
  FileFields file;
  file.WaveFileName = parsed.wave;
  MarkStore marks;
  {
    const OpenedWave wave = OpenWave(parsed.wave);  // closed again before the command opens it
    if (!wave.source) return kExitRefused;
    file.Header = wave.header;
    // Without a source there are no marks, and the command says so below.
    const Result<MarkSet> loaded =
        parsed.source.Count() == 0 ? Result<MarkSet>{} : LoadMarks(parsed.source, wave, parsed.wave, parsed.quiet);
    if (loaded.status.failed()) PrintMessage(loaded.status.message());
    if (!loaded.ok()) return kExitRefused;
    // Nothing to cut at among the pauses: said, and nothing written (not a failure).
    if (parsed.source.pauses && loaded.value.marks.empty()) {
      PrintMessage(FormatMessage(MessageId::kNoPauseFound));
      return kExitDone;
    }
    marks.ReplaceAll(loaded.value);
  }
  marks.SetKeepHead(parsed.keepHead);
  CreationFlags flags;
  // A copy with markers needs none: without any it is a copy without markers.
  const int required = command == Command::kMark ? 1 : marks.Count();
  if (const Status status = CheckBeginOutput(flags, true, required); !status.ok()) {
    PrintMessage(status.message());
    return kExitRefused;
  }
  ProgressLine progress(parsed.quiet);
  CliOutputHost host(parsed.yes, flags, progress, file.Header.FileSize);  // Ctrl+C is caught from here on
  progress.Update(0, file.Header.FileSize);
  OutputOptions options;
  options.exactCuts = parsed.exact;
  if (parsed.names) options.names = PieceNamesOf(marks.Named(), marks.PieceZeroName());
  const std::vector<int64_t> sorted = marks.Sorted();
  const bool keepHead = marks.KeepHead();
  const OutputResult result =
      command == Command::kCut     ? WriteCutEditedFile(file, sorted, keepHead, parsed.out, flags, host, options)
      : command == Command::kSplit ? SplitSelectedRanges(file, sorted, keepHead, parsed.out, flags, host, options)
      : command == Command::kMark  ? WriteMarkerCopy(file, marks.Named(), parsed.out, flags, host, options)
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
int RunMark(const std::vector<std::string>& args) { return RunOutputCommand(args, Command::kMark); }

}  // namespace sonaveld::cli
