#include "cli/NormalizeArgs.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iostream>
#include <map>

#include "base/Messages.h"
#include "cli/Commands.h"

namespace sonaveld::cli {
namespace {

// A whole number 1..150 (the range of the percentage box); -1 otherwise.
int ParsePercent(const std::string& text) {
  if (text.empty() || text.size() > 3) return -1;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value >= 1 && value <= 150 ? value : -1;
}

// A decimal number within [low, high]; false otherwise.
bool ParseNumber(const std::string& text, double low, double high, double& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && std::isfinite(value) && value >= low && value <= high;
}

const std::map<std::string, LoudnessTarget>& Presets() {
  static const std::map<std::string, LoudnessTarget> presets = {
      {"ebu", {-23, -1}}, {"atsc", {-24, -2}}, {"podcast", {-16, -1}}, {"streaming", {-14, -1}},
      {"replaygain", {-18, -1}}};
  return presets;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// What the options given say, before the checks between them.
struct Given {
  bool replace = false, mode = false, percent = false, linked = false, loudnessOnly = false;
  bool target = false, ceiling = false;
  std::string preset;
};

// The option at args[i] (its value taken from args[++i]); "" when it is fine, "?" when it is no
// option of normalize, else what is wrong.
std::string ParseOption(const std::vector<std::string>& args, size_t& i, NormalizeArgs& out, Given& given) {
  const std::string& a = args[i];
  const bool hasValue = i + 1 < args.size();
  const std::string value = hasValue ? args[i + 1] : std::string();
  auto take = [&] { return hasValue ? (++i, true) : false; };
  if (a == "--mode") {
    if (!take()) return "--mode needs peak, average or loudness";
    given.mode = true;
    if (value == "peak") out.settings.mode = NormalizeMode::kPeak;
    else if (value == "average") out.settings.mode = NormalizeMode::kAverage;
    else if (value == "loudness") out.settings.mode = NormalizeMode::kLoudness;
    else return "--mode must be peak, average or loudness";
  } else if (a == "--percent") {
    given.percent = true;
    if (!take() || (out.settings.percent = ParsePercent(value)) < 0) return "--percent must be 1..150";
  } else if (a == "--target") {
    given.target = given.loudnessOnly = true;
    if (!take() || !ParseNumber(value, -70, -5, out.target.targetLufs)) return "--target must be -70..-5 (LUFS)";
  } else if (a == "--true-peak") {
    given.ceiling = given.loudnessOnly = true;
    if (!take() || !ParseNumber(value, -9, 0, out.target.ceilingDbtp)) return "--true-peak must be -9..0 (dBTP)";
  } else if (a == "--preset") {
    given.loudnessOnly = true;
    if (!take() || !Presets().contains(value)) return "--preset must be ebu, atsc, podcast, streaming or replaygain";
    given.preset = value;
  } else if (a == "--jobs") {
    double jobs = 0;
    given.loudnessOnly = true;
    if (!take() || !ParseNumber(value, 1, 256, jobs) || jobs != std::floor(jobs)) return "--jobs must be 1..256";
    out.jobs = static_cast<int>(jobs);
  } else if (a == "--album" || a == "--dual-mono" || a == "--dither") {
    given.loudnessOnly = true;
    (a == "--album" ? out.album : a == "--dual-mono" ? out.dualMono : out.settings.dither) = true;
  } else if (a == "--linked") {
    given.linked = out.settings.linked = true;
  } else if (a == "--report") {
    if (!take() || !(EndsWith(value, ".csv") || EndsWith(value, ".jsonl"))) return "--report needs FILE.csv or FILE.jsonl";
    out.report = value;
  } else if (a == "--files-from") {
    if (!take() || value.empty()) return "--files-from needs - or a file";
    out.filesFrom = value;
  } else if (a == "--output-dir") {
    if (!take() || value.empty()) return "--output-dir needs a folder";
    out.settings.outputDir = value;
  } else if (a == "--replace") {
    given.replace = true;
  } else if (a == "--restore") {
    out.restore = true;
  } else if (a == "--skip-existing") {
    out.settings.skipExisting = true;
  } else if (a == "--quiet") {
    out.quiet = true;
  } else {
    return "?";
  }
  return {};
}

// The checks between the options once all are read.
std::string CheckTogether(NormalizeArgs& out, const Given& given) {
  const bool loudness = out.settings.mode == NormalizeMode::kLoudness;
  if (out.restore && !given.replace) return "--restore needs --replace";
  if (given.replace && !out.settings.outputDir.empty()) return "--output-dir and --replace exclude each other";
  if (!loudness && given.loudnessOnly) return "--target, --true-peak, --preset, --album, --dual-mono, --dither and --jobs need --mode loudness";
  if (loudness && given.percent) return "--percent does not apply to --mode loudness";
  if (loudness && given.linked) return "--linked applies to --mode peak and average only";
  if (!given.preset.empty()) {
    const LoudnessTarget preset = Presets().at(given.preset);
    if (!given.target) out.target.targetLufs = preset.targetLufs;  // an explicit value wins
    if (!given.ceiling) out.target.ceilingDbtp = preset.ceilingDbtp;
  }
  if (out.files.empty() && out.filesFrom.empty()) return "normalize needs at least one WAV file";
  out.settings.keepSourceName = !given.replace;
  return {};
}

}  // namespace

std::string ParseNormalizeArgs(const std::vector<std::string>& args, NormalizeArgs& out) {
  Given given;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      out.files.insert(out.files.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    }
    if (!a.starts_with("-")) {
      out.files.push_back(a);
      continue;
    }
    const std::string problem = ParseOption(args, i, out, given);
    if (problem == "?") return "unknown option: " + a;
    if (!problem.empty()) return problem;
  }
  return CheckTogether(out, given);
}

int ReadFileList(NormalizeArgs& out) {
  if (out.filesFrom.empty()) return kExitDone;
  std::ifstream file;
  if (out.filesFrom != "-") {
    file.open(out.filesFrom, std::ios::binary);
    if (!file) {
      PrintMessage(FormatMessage(MessageId::kCannotOpen, out.filesFrom));
      return kExitRefused;
    }
  }
  std::istream& in = out.filesFrom == "-" ? std::cin : file;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) out.files.push_back(line);
  }
  if (in.bad()) {
    PrintMessage(FormatMessage(MessageId::kCannotRead, out.filesFrom));
    return kExitRefused;
  }
  if (out.files.empty()) return UsageError("normalize needs at least one WAV file");
  return kExitDone;
}

}  // namespace sonaveld::cli
