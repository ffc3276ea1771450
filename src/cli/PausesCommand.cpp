// sonaveld-cli pauses: the marks at the pauses of a recording, printed or written as its mark list.
#include <charconv>
#include <csignal>
#include <cstdio>
#include <optional>

#include "analysis/PauseFinder.h"
#include "cli/Commands.h"
#include "cli/OpenWave.h"
#include "cli/ProgressLine.h"
#include "marks/MarkListFile.h"
#include "marks/MarkStore.h"
#include "output/OutputHost.h"

namespace sonaveld::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnStopSignal(int) { interrupted = 1; }

struct PausesArgs {
  std::string wave;
  PauseSettings settings;
  bool write = false;
  bool quiet = false;
};

// A decimal number (digits, optional "-" and decimals) within kPauseDbMin..kPauseDbMax.
std::optional<double> ParseDb(const std::string& text) {
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (!(value >= kPauseDbMin && value <= kPauseDbMax)) return std::nullopt;
  return value;
}

// A whole number of milliseconds within kPauseMsMin..kPauseMsMax.
std::optional<int32_t> ParseMs(const std::string& text) {
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < kPauseMsMin || value > kPauseMsMax) return std::nullopt;
  return static_cast<int32_t>(value);
}

// Parses "WAV [--below DB] [--min MS] [--write]"; an error text on wrong usage.
std::string ParsePausesArgs(const std::vector<std::string>& args, PausesArgs* parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--below") {
      const auto db = hasValue ? ParseDb(args[++i]) : std::nullopt;
      if (!db) return "--below needs a number of dB from -96 to 0";
      parsed->settings.belowDb = *db;
    } else if (a == "--min") {
      const auto ms = hasValue ? ParseMs(args[++i]) : std::nullopt;
      if (!ms) return "--min needs a whole number of ms from 10 to 600000";
      parsed->settings.minMs = *ms;
    } else if (a == "--write") {
      parsed->write = true;
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
  PauseResult found;
  {
    // The line counts the bytes of the sample area scanned; it is redrawn from the idle hook.
    ProgressLine progress(parsed.quiet);
    int64_t done = 0, total = wave.header.DataEnd - wave.header.DataOffset;
    progress.Update(0, total);
    PauseHooks hooks;
    hooks.stopTest = [] { return interrupted != 0; };
    hooks.progress = [&](int64_t bytes, int64_t all) { done = bytes, total = all; };
    hooks.idle = [&] { progress.Update(done, total); };
    found = FindPauses(*wave.source, wave.header, parsed.settings, hooks, parsed.wave);
  }
  if (found.status.failed()) PrintMessage(found.status.message());
  if (!found.status.ok() || interrupted) return kExitRefused;
  if (parsed.write) return WriteMarks(parsed.wave, found.marks);
  for (const int64_t mark : found.marks) std::printf("%lld\n", static_cast<long long>(mark));
  return kExitDone;
}

}  // namespace

int RunPauses(const std::vector<std::string>& args) {
  PausesArgs parsed;
  if (std::string error = ParsePausesArgs(args, &parsed); !error.empty()) return UsageError(error);
  // Ctrl+C stops the scan at its next block; nothing is printed or written then.
  auto previous = std::signal(SIGINT, OnStopSignal);
  const int status = FindAndReport(parsed);
  std::signal(SIGINT, previous);
  return status;
}

}  // namespace sonaveld::cli
