// cut, split and split-marks: the three output commands of the main window, without the window.
#include <csignal>
#include <cstdio>
#include <optional>

#include "cli/Commands.h"
#include "io/ByteSource.h"
#include "document/Document.h"
#include "marks/MarkListFile.h"
#include "marks/MarkStore.h"
#include "output/OutputCommands.h"

namespace sonaveld::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

struct CutArgs {
  std::string wave;
  std::string out;
  std::optional<std::string> marks;
  std::optional<std::string> marksFile;
  bool keepHead = false;
  bool yes = false;
};

// Parses "WAV -o OUT [--marks …|--marks-file …] [--keep-head] [--yes]"; an error text on wrong usage.
std::string ParseCutArgs(const std::vector<std::string>& args, bool allowKeepHead, CutArgs* parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if ((a == "-o" || a == "--marks" || a == "--marks-file") && !hasValue) return a + " needs a value";
    if (a == "-o") {
      parsed->out = args[++i];
    } else if (a == "--marks") {
      parsed->marks = args[++i];
    } else if (a == "--marks-file") {
      parsed->marksFile = args[++i];
    } else if (a == "--keep-head" && allowKeepHead) {
      parsed->keepHead = true;
    } else if (a == "--yes") {
      parsed->yes = true;
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
  return {};
}

// Adds the comma-separated positions one by one, as the add command does at the cursor line.
Status AddMarks(const std::string& list, MarkStore& store) {
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    const std::string text = list.substr(start, comma - start);
    if (text.empty()) return Status::Fail(MessageId::kNotInteger, text);
    const MarkListParse one = ParseMarkList(text);
    if (!one.status.ok()) return one.status;
    if (Status added = store.Add(one.marks.front()); !added.ok()) return added;
    start = comma + 1;
  }
  return Status::Ok();
}

class CliHost final : public OutputHost {
 public:
  CliHost(bool yes, CreationFlags& flags) : yes_(yes), flags_(flags) {}
  bool ConfirmLowSpace(const std::string& question) override {
    PrintMessage(question);
    return yes_;
  }
  void Idle() override {
    if (interrupted) flags_.AbortRequested = true;
  }
  void FileWritten(const std::string& path) override {
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
  }

 private:
  bool yes_;
  CreationFlags& flags_;
};

enum class Command { kCut, kSplit, kSplitMarks };

int RunOutputCommand(const std::vector<std::string>& args, Command command) {
  CutArgs parsed;
  if (std::string error = ParseCutArgs(args, command != Command::kSplitMarks, &parsed); !error.empty()) {
    return UsageError(error);
  }
  FileFields file;
  file.WaveFileName = parsed.wave;
  {
    auto source = FileSource::Open(parsed.wave);
    if (!source) {
      PrintMessage(FormatMessage(MessageId::kCannotOpen, parsed.wave));
      return kExitRefused;
    }
    const ProbeResult probe = ProbeWave(*source, parsed.wave);
    if (!probe.status.ok()) {
      PrintMessage(probe.status.message());
      return kExitRefused;
    }
    file.Header = probe.header;
  }
  MarkStore marks;
  marks.SetKeepHead(parsed.keepHead);
  Status status = parsed.marks       ? AddMarks(*parsed.marks, marks)
                  : parsed.marksFile ? ReadMarkListFrom(*parsed.marksFile, marks)
                                     : Status::Ok();
  CreationFlags flags;
  if (status.ok()) status = CheckBeginOutput(flags, true, marks.Count());
  if (!status.ok()) {
    PrintMessage(status.message());
    return kExitRefused;
  }
  std::signal(SIGINT, OnInterrupt);
  CliHost host(parsed.yes, flags);
  const OutputResult result =
      command == Command::kCut     ? WriteCutEditedFile(file, marks.Sorted(), marks.KeepHead(), parsed.out, flags, host)
      : command == Command::kSplit ? SplitSelectedRanges(file, marks.Sorted(), marks.KeepHead(), parsed.out, flags, host)
                                   : SplitAtMarks(file, marks.Sorted(), parsed.out, flags, host);
  if (result.status.failed()) PrintMessage(result.status.message());
  return result.status.ok() ? kExitDone : kExitRefused;
}

}  // namespace

int RunCut(const std::vector<std::string>& args) { return RunOutputCommand(args, Command::kCut); }
int RunSplit(const std::vector<std::string>& args) { return RunOutputCommand(args, Command::kSplit); }
int RunSplitMarks(const std::vector<std::string>& args) { return RunOutputCommand(args, Command::kSplitMarks); }

}  // namespace sonaveld::cli
