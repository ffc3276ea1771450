#include "cli/PauseScan.h"

#include <charconv>
#include <csignal>

#include "cli/ProgressLine.h"

namespace sonaveld::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnStopSignal(int) { interrupted = 1; }

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

}  // namespace

std::optional<std::string> ParsePauseOption(const std::vector<std::string>& args, size_t& i, PauseSettings& settings) {
  const bool hasValue = i + 1 < args.size();
  if (args[i] == "--below") {
    const auto db = hasValue ? ParseDb(args[++i]) : std::nullopt;
    if (!db) return "--below needs a number of dB from -96 to 0";
    settings.belowDb = *db;
    return "";
  }
  if (args[i] == "--min") {
    const auto ms = hasValue ? ParseMs(args[++i]) : std::nullopt;
    if (!ms) return "--min needs a whole number of ms from 10 to 600000";
    settings.minMs = *ms;
    return "";
  }
  return std::nullopt;
}

PauseResult ScanPauses(const OpenedWave& wave, const PauseSettings& settings, bool quiet, const std::string& path) {
  interrupted = 0;
  auto previous = std::signal(SIGINT, OnStopSignal);
  PauseResult found;
  {
    // The line counts the bytes of the sample area scanned; it is redrawn from the idle hook.
    ProgressLine progress(quiet);
    int64_t done = 0, total = wave.header.DataEnd - wave.header.DataOffset;
    progress.Update(0, total);
    PauseHooks hooks;
    hooks.stopTest = [] { return interrupted != 0; };
    hooks.progress = [&](int64_t bytes, int64_t all) { done = bytes, total = all; };
    hooks.idle = [&] { progress.Update(done, total); };
    found = FindPauses(*wave.source, wave.header, settings, hooks, path);
  }
  std::signal(SIGINT, previous);
  // An interrupt after the last block still means the user wanted nothing done.
  if (interrupted && found.status.ok()) found = {Status::Stopped(), {}};
  return found;
}

}  // namespace sonaveld::cli
