// sonaveld-cli loudness: the loudness figures of each WAV, one line a file, in list order.
#include <cmath>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/LoudnessMeter.h"
#include "cli/Commands.h"
#include "cli/OpenWave.h"
#include "cli/ProgressLine.h"

namespace sonaveld::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnStopSignal(int) { interrupted = 1; }

struct LoudnessArgs {
  std::vector<std::string> waves;
  bool json = false;
  bool quiet = false;
  LoudnessOptions options;
};

// Parses "[--json] [--dual-mono] [--quiet] WAV..." ("--" ends the options); an error text.
std::string ParseLoudnessArgs(const std::vector<std::string>& args, LoudnessArgs* parsed) {
  bool options = true;
  for (const std::string& a : args) {
    if (options && a == "--") options = false;
    else if (options && a == "--json") parsed->json = true;
    else if (options && a == "--dual-mono") parsed->options.dualMono = true;
    else if (options && a == "--quiet") parsed->quiet = true;
    else if (options && a.starts_with("-") && a != "-") return "unknown option " + a;
    else parsed->waves.push_back(a);
  }
  return parsed->waves.empty() ? "no WAV file" : "";
}

// A figure with `decimals` decimals; "-inf" (text) or null (JSON) where there is none.
std::string Figure(double value, int decimals, bool json) {
  if (!std::isfinite(value)) return json ? "null" : "-inf";
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// A JSON string: quotes, backslashes and control characters escaped, other bytes as they are.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

void PrintFigures(const std::string& path, const LoudnessFigures& f, bool json) {
  if (json) {
    std::printf("{\"file\":%s,\"integrated_lufs\":%s,\"lra_lu\":%s,\"momentary_max_lufs\":%s,"
                "\"short_term_max_lufs\":%s,\"sample_peak_dbfs\":%s,\"true_peak_dbtp\":%s,\"nonfinite_samples\":%lld}\n",
                JsonString(path).c_str(), Figure(f.integratedLufs, 3, true).c_str(), Figure(f.lraLu, 3, true).c_str(),
                Figure(f.momentaryMaxLufs, 3, true).c_str(), Figure(f.shortTermMaxLufs, 3, true).c_str(),
                Figure(f.samplePeakDbfs, 3, true).c_str(), Figure(f.truePeakDbtp, 3, true).c_str(),
                static_cast<long long>(f.nonFiniteSamples));
  } else {
    std::printf("%s\tI %s LUFS  LRA %s LU  M %s LUFS  S %s LUFS  SP %s dBFS  TP %s dBTP  nonfinite %lld\n",
                path.c_str(), Figure(f.integratedLufs, 1, false).c_str(), Figure(f.lraLu, 1, false).c_str(),
                Figure(f.momentaryMaxLufs, 1, false).c_str(), Figure(f.shortTermMaxLufs, 1, false).c_str(),
                Figure(f.samplePeakDbfs, 1, false).c_str(), Figure(f.truePeakDbtp, 1, false).c_str(),
                static_cast<long long>(f.nonFiniteSamples));
  }
  std::fflush(stdout);
}

// Measures one WAV with the progress line; its status (Stopped on Ctrl+C).
Result<LoudnessFigures> Measure(const OpenedWave& wave, const LoudnessArgs& parsed, const std::string& path) {
  ProgressLine progress(parsed.quiet);
  int64_t done = 0, total = wave.header.DataEnd - wave.header.DataOffset;
  progress.Update(0, total);
  LoudnessHooks hooks;
  hooks.stopTest = [] { return interrupted != 0; };
  hooks.progress = [&](int64_t bytes, int64_t all) { done = bytes, total = all; };
  hooks.idle = [&] { progress.Update(done, total); };
  return MeasureLoudness(*wave.source, wave.header, parsed.options, hooks, path);
}

}  // namespace

int RunLoudness(const std::vector<std::string>& args) {
  LoudnessArgs parsed;
  if (std::string error = ParseLoudnessArgs(args, &parsed); !error.empty()) return UsageError(error);
  interrupted = 0;
  auto previous = std::signal(SIGINT, OnStopSignal);
  int exit = kExitDone;
  for (const std::string& path : parsed.waves) {
    const OpenedWave wave = OpenWave(path);
    if (!wave.source) {
      exit = kExitRefused;
      continue;
    }
    const Result<LoudnessFigures> measured = Measure(wave, parsed, path);
    if (measured.status.stopped()) {
      exit = kExitRefused;  // Ctrl+C: the files after this one are not measured
      break;
    }
    if (!measured.ok()) {
      PrintMessage(measured.status.message());
      exit = kExitRefused;
      continue;
    }
    PrintFigures(path, measured.value, parsed.json);
  }
  std::signal(SIGINT, previous);
  return exit;
}

}  // namespace sonaveld::cli
