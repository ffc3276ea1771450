// sonaveld-cli pauses: the marks at the pauses of a recording, printed or written as its mark list.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/OpenWave.h"
#include "cli/PauseScan.h"
#include "cli/WaveOperand.h"
#include "marks/MarkListFile.h"
#include "marks/MarkStore.h"
#include "output/OutputHost.h"

namespace sonaveld::cli {
namespace {

struct PausesArgs {
  std::string wave;
  PauseSettings settings;
  bool write = false;
  bool quiet = false;
};

// Parses "WAV [--below DB] [--min MS] [--write]"; an error text on wrong usage.
std::string ParsePausesArgs(const std::vector<std::string>& args, PausesArgs* parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (const auto option = ParsePauseOption(args, i, parsed->settings)) {
      if (!option->empty()) return *option;
    } else if (a == "--write") {
      parsed->write = true;
    } else if (a == "--quiet") {
      parsed->quiet = true;
    } else if (std::string error = TakeWaveOperand(a, parsed->wave); !error.empty()) {
      return error;
    }
  }
  return parsed->wave.empty() ? "no WAV file" : "";
}

// Writes the marks as the mark list file beside the WAV, all or nothing, and prints its path.
int WriteMarks(const std::string& wave, const std::vector<int64_t>& found) {
  if (found.empty()) {
    PrintMessage(FormatMessage(MessageId::kNoPauseFound));
    return kExitDone;
  }
  if (found.size() > static_cast<size_t>(MarkStore::kMaxMarks)) {
    PrintMessage(FormatMessage(MessageId::kTooManyMarks));
    return kExitRefused;
  }
  MarkStore marks;
  marks.ReplaceAll(found);
  if (const Status written = WriteMarkListFile(wave, marks); !written.ok()) {
    PrintMessage(written.message());
    return kExitRefused;
  }
  PrintWritten(MarkListFileName(wave));
  return kExitDone;
}

// Probes the WAV, scans it and prints or writes the marks; the exit status.
int FindAndReport(const PausesArgs& parsed) {
  const OpenedWave wave = OpenWave(parsed.wave);
  if (!wave.source) return kExitRefused;
  const PauseResult found = ScanPauses(wave, parsed.settings, parsed.quiet, parsed.wave);
  if (found.status.failed()) PrintMessage(found.status.message());
  if (!found.status.ok()) return kExitRefused;
  if (parsed.write) return WriteMarks(parsed.wave, found.marks);
  for (const int64_t mark : found.marks) std::printf("%lld\n", static_cast<long long>(mark));
  return kExitDone;
}

}  // namespace

int RunPauses(const std::vector<std::string>& args) {
  PausesArgs parsed;
  if (std::string error = ParsePausesArgs(args, &parsed); !error.empty()) return UsageError(error);
  // Ctrl+C stops the scan at its next block; nothing is printed or written then.
  return FindAndReport(parsed);
}

}  // namespace sonaveld::cli
